int mode;
int next() {
  mode = mode + 1;
  return (mode);
}
int main() {
  int v;
  int k;
  v = 2;
  switch (next()) {
  case 1:
    v = 1;
  case 2:
    v = 3;
  }
  switch (v++) {
  case 1:
    v = 4;
  }
  switch (k = v) {
  default:
    v = 5;
  }
  switch (v += 1) {
  }
  switch (v == 1) {
  case 1:
    v = 6;
  }
  switch (v <= 2) {
  }
  switch ((v & 3) + -1) {
  }
  switch (sizeof (v)) {
  }
  switch (v - -1) {
  }
  return (v);
}
