int a = 1;
#include "missing.h"
int b = 2;
