// expect 1 post_increment.c:7: the output differs
int x;
int y;
void main() {
  x = 5;
  y = x++;
  print_int(y);
}
