int a;
int elsewhere;
void main() {
  if (a) { a = 1; } elsewhere = 1;
}
