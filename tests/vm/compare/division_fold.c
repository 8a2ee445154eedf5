// expect 0 stackvm and the C build agree
int a;
int b;
int z;
void main() {
  a = 5;
  b = -2147483647 - 1;
  z = 16;
  print_int(a - b / ((z & 15) + 1));
  print_char(10);
}
