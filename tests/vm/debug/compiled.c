struct reading { int value; char quality; };
struct sensor { char name[6]; struct reading last[2]; struct reading *newest; };
struct sensor tank = {"tank", 0, 0, 0, 0, 0};
int count;
int scale(int raw, int factor) {
  int scaled;
  scaled = raw * factor;
  return scaled;
}
void store(struct sensor *into, int v) {
  int slot;
  slot = count % 2;
  into->last[slot].value = scale(v, 3);
  into->last[slot].quality = 'g';
  into->newest = &into->last[slot];
  count++;
}
void main() {
  int level;
  level = 14;
  store(&tank, level);
  store(&tank, level + 1);
  print_int(tank.newest->value);
  print_char(10);
}
