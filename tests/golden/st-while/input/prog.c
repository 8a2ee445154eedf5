int i;
void tick() {
}
void main() {
  tick();
  tick();
  tick();
  tick();
  while (i < 10) { i = i + 1; }
}
