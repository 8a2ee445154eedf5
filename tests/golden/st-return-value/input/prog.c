int a;
int b;
int return_value;
int f(int v) {
  return v;
}
int g() {
  return a + b * 2;
}
int h() {
  return(a)+(b);
}
int k() {
  return (a) ;
}
int m() {
  return_value = 1;
  return ;
}
int s() {
  return "x;y";
}
int n() {
  return (a) (b);
}
void v() {
  return a;
}
int w() {
  return f(a) + f(b);
}
