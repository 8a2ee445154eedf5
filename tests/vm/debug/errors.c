int d;
int ratio(int a, int b) {
  return a / b;
}
void main() {
  d = ratio(10, 2);
  d = ratio(d, 0);
}
