int n;
void main() {
  do { n = n - 1; } while (n);
  do { n = 5; } n = 6;
}
