int total;
int square(int n) {
  int r;
  r = n * n;
  return r;
}
int sum(int count) {
  int i;
  int s;
  s = 0;
  for (i = 1; i <= count; i++) {
    s = s + square(i);
  }
  return s;
}
void main() {
  total = sum(4);
  print_int(total);
  print_char(10);
}
