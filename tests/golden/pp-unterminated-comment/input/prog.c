int a = 1;
#include "open.h"
int b = 2;
int c = 3;