int h;
int arr[3];
int *p;
void tick() { }
char letter() { return (65); }
long wide() { return (1); }
int main() {
  h = tick;
  if (h != 0) { h(); }
  h = letter;
  h = wide;
  h = &tick;
  p = &arr;
  p = &arr[1];
  h = letter();
  return (0);
}
