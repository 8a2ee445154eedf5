int total;
int helper(int a) {
  int kept;
  int stored;
  int bumped;
  int table[4];
  stored = a;
  kept = 2;
  bumped = 0;
  bumped = bumped + 1;
  table[1] = 3;
  return (kept);
}
int self(int n) {
  return (self(n));
}
int pointed() {
  return (1);
}
int called(int unread) {
  int sized;
  int counted;
  counted = 0;
  counted++;
  return (sizeof (sized));
}
public int shown() {
  return (2);
}
public int proto();
int proto() {
  return (3);
}
int main() {
  int h;
  int unusedlocal;
  int chain;
  int later = 5;
  h = pointed;
  total = chain = called(1);
  return (chain);
}
