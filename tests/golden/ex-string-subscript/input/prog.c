int n;
char c;
char *p;
void main() {
  c = "0123456789ABCDEF"[n];
  c = "xyz"[2];
  p = "abc" + 1;
  c = *"abc";
  p = "abc";
}
