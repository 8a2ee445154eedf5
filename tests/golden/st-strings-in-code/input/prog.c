void print_string(char *s);
char *s;
long la[4];
long *p;
long *q;
int n;
int main() {
  print_string("a(b");
  if (s == ")") {
    n = 1;
  }
  s = "x;y";
  n = (p != q) + 1;
  n = (p == q) * 5 + 1;
  return (n);
}
