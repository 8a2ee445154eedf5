#include "inc.h"
public int m;
void main() {
  m = K;
}
