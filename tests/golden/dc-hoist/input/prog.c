int f() {
  char *p;
  int i;
  p = "hi";
  for (p = "ab"; i < 2; i = i + 1) {
  }
  for (i = 0; p != "cd"; i = i + 1) {
  }
}
