int p1 = 1;
#include "a.h"
int p3 = 3;
/* two
lines */
int p6 = 6;
