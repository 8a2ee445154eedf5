int total;
int twice(int v) {
  return v * 2;
}
void main() {
  int i;
  for (i = 0; i < 3; i++) {
    total = total + twice(sensor(i));
  }
  if (total > 100) {
    valve(1);
  } else {
    valve(0);
  }
  print_int(total);
  print_char(10);
}
