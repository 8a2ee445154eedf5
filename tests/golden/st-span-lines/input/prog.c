int a;
int b;
int x;
int add(int p,
        int q) {
  return p +
    q;
}
int main() {
  x = a +
      b;
  if (a ==
      b) {
    x = add(a,
            b);
  }
  while (a <
         b) {
    a++;
  }
  for (a = 0;
       a < 10;
       a++) {
    b = b
      + 1;
  }
  switch (a
          + 1) {
    case 1:
      x = 2;
  }
  do {
    a--;
  } while (a >
           0);
  x = a +
      nothere;
  return (x
          );
}
