// expect 0 stackvm and the C build agree
int total;
void main() {
  int i;
  for (i = 0; i < 3; i++) {
    total = total + sensor(i);
  }
  valve(total > 20);
  print_int(total);
  print_char(10);
}
