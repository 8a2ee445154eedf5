public int n;
void main() {
  while (n) { n = n - 1; }
}
