int x;
int y;
void tick() {
}
void main() {
  tick(); tick(); tick(); tick(); tick(); tick();
  switch (x) {
    case 1: y = 1; break;
    case 2: y = 2;
    default: y = 3;
  }
}
