int i;
void tick() {
}
void main() {
  tick();
  if (i) { }
  while (i < 10) { i = i + 1; }
}
