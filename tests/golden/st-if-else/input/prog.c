int a;
int b;
void main() {
  if (a) { b = 1; } else { b = 2; }
}
