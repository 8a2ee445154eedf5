int g;
int a;
int b;
long l;
void main() {
  switch (g & 3) {
    case 0:
      a = 1;
      break;
    default:
      a = 9;
  }
  switch (a + b) {
    case 2:
      b = 1;
  }
  l = l << 33;
  l = (long)1 << g;
}
