#include "common.h"
int main() {
  shared = sysvar;
}
