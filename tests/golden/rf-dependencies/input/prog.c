#include "my parts.h"
#include "cost$.h"
int main() {
  x = y;
}
