struct S { int a; char b; };
int g;
int f(int a) {
  int i;
  public int j;
  int i;
}
public struct S h(int a) {
}
int g;
