int sum;
void main() {
  int v;
  v = read_int();
  while (v != 0) {
    sum = sum + v;
    v = read_int();
  }
  print_int(sum);
  print_char(10);
}
