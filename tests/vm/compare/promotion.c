// expect 1 promotion.c:7: the output differs
char a;
char b;
void main() {
  a = 100;
  b = 100;
  print_int(a + b);
}
