// expect 0 stackvm and the C build agree
// gcc for x86-64 also evaluates arguments last to first: no difference to find
int sum(int a, int b) {
  return a * 10 + b;
}
int total;
void main() {
  total = sum(sensor(1), sensor(2));
  print_int(total);
}
