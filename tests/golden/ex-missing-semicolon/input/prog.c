int a;
int b;
void main() {
  a = 1;
  a = 1
  b = 2;
  b = 3;
  b = a * 2
  + 1;
}
