#include "common.h"
int beta_sum(int a, int b) {
  return a + b;
}
void main() {
  print_int(beta_sum(40, 2));
  print_char(10);
}
