struct P { int x; int y; };
struct P pt;
char c;
long l;
char f(int v) {
  return (v);
}
char f2() {
  return;
}
char f3() {
  return (c);
}
long g(int v) {
  if (v) {
    return v;
  }
}
int h() {
  return (c);
}
int h2() {
  return (l);
}
struct P sp() {
  return (pt);
}
long g2() {
  return ((long)1);
}
