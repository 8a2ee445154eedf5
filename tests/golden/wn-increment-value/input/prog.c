int a[4];
int i;
int j;
int show(int x) {
  return (x);
}
int main() {
  j = i++;
  a[i++] = 0;
  show(j--);
  j = (i++) + 1;
  i++;
  (i++);
  i++, j--;
  for (i = 0; i < 4; i++) {
    a[i] = 0;
  }
  j = i + 1;
}
