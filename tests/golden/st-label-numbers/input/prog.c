int i;
void first() {
  while (i < 3) { i++; }
  retry: if (i) { goto retry; }
}
void second() {
  while (i > 0) { i--; }
  retry: goto retry;
}
