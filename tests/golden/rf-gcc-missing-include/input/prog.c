int x;
#include "missing.h"
int y;
