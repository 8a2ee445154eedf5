int a[10];
int *p;
int n;
int i;
int j;
int ready() {
  return (1);
}
int main() {
  int x;
  x = p != 0 && *p;
  x = i < n && a[i];
  x = i < n || a[i] == 0;
  x = n > 0 && ready();
  x = n > 0 && (i = 1);
  x = n > 0 || j++;
  x = i < 10 && j < 10;
  x = a[0] == 1 && a[1] == 2;
  x = *p > 0 && j < n;
  x = i < n && a[j];
  x = ready() && n > 0;
}
