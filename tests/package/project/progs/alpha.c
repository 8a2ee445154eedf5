#include "common.h"
#include "alpha_io.h"
int alpha_twice(int v) {
  return v + v;
}
void main() {
  alpha_step = 3;
  print_int(alpha_twice(alpha_step) + sensor(1));
  print_char(10);
}
