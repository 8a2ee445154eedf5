int a1 = 1;
#include "b.h"

int a4 = 4;
