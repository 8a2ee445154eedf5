// expect 1 static_locals.c:11: the output differs from byte 0: stackvm wrote "0", the C build "6"
int sum(int n) {
  int r;
  if (n == 0) {
    return 0;
  }
  r = sum(n - 1);
  return r + n;
}
void main() {
  print_int(sum(3));
}
