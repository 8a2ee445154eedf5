int a[4];
int i;
int next() {
  i = i + 1;
  return (i);
}
int pair(int x, int y) {
  return (x - y);
}
int triple(int x, int y, int z) {
  return (x + y + z);
}
int main() {
  int r;
  r = pair(next(), next());
  r = pair(i++, a[i]);
  r = triple(i = 1, 2, next());
  r = pair(next(), i);
  r = pair(a[i], i + 1);
  r = pair(pair(1, 2), 3);
  r = next();
}
