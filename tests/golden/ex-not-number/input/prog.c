int *p;
int n;
int r;
char c;
void main() {
  r = !p;
  r = !p + 1;
  r = n + !p;
  r = !c + 1;
  r = !!n;
}
