q = 1;
#include "parts.h"
int main() {
  y = 1;
  x = 2
}
