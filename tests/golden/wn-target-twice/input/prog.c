int a[4];
int i;
int *p;
int next() {
  i = i + 1;
  return (i);
}
int main() {
  a[next()] += 1;
  a[i++] -= 2;
  a[next()]++;
  *(p + next()) *= 3;
  a[i] += next();
  a[i + 1]++;
  i--;
  a[i] /= 2;
}
