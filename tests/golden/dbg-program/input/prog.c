#include "sensor.h"
// Globals of every kind: initialised, fixed, public, arrays, pointers.
public int count = 0;
fixed char banner[6] = "tank1";
long total;
int grid[2][3];
char *labels[3];
struct sensor tank;
struct sensor *cursor;

long sum(int n, struct reading *r)
{
  long s;
  int i;
  s = 0;
  for (i = 0; i < n; i++) {
    s = s + r->value;
  }
  return (s);
}

void store(struct sensor *into, int v) {
  int slot;
  slot = count % 4;
  into->last[slot].value = clamp(v, 0, 100);
  into->newest = &into->last[slot];
}

void main() {
  int v;
  char quality;
  cursor = &tank;
  v = read_port(PORT_LEVEL);
  store(cursor, v);
  count++;
  total = sum(count, cursor->newest);
  write_port(2, v);
}
