int x;
int f() {
  return x;
}
void g() {
  return;
}
void h() {
  return (x);
}
