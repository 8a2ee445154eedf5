int i;
int total;
void main() {
  for (i = 0; i < 3; i++) { total = total + i; }
  for (;;) {
    if (total > 100) { break; }
    total = total * 2;
    continue;
  }
}
