int a[10];
int *p;
int *q;
char *s;
char *t;
long *lp;
long *lq;
struct S { int x; char y; };
struct S sa[4];
struct S *sp;
int n;
int main() {
  n = p - q;
  n = s - t;
  n = lp - lq;
  n = &a[5] - a;
  n = sp - sa;
  n = p - 1;
  n = p + q;
  p += q;
  n = (p - q) + 1;
  return (0);
}
