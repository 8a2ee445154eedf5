// expect 1 char_arithmetic.c:9: the output differs from byte 0: stackvm wrote "-56", the C build "200"
char a;
char b;
int total;
void main() {
  a = 100;
  b = 100;
  total = a + b;
  print_int(total);
}
