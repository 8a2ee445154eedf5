public long g(int x);
int add(int a, int b) {
  return (a + b);
}
void f() {
}
int p(char *fmt,...) {
  return;
}
