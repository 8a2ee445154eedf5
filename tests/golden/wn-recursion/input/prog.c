int fact(int n) {
  if (n > 1) {
    return (n * fact(n - 1));
  }
  return (1);
}
int even(int n);
int odd(int n) {
  int left;
  left = n - 1;
  return (even(left));
}
int even(int n) {
  return (odd(n));
}
int spin() {
  return (spin());
}
int leaf(int a) {
  return (a + 1);
}
int twice(int a) {
  return (leaf(leaf(a)));
}
int main() {
  return (fact(3) + odd(2) + twice(1) + spin());
}
