#include "stackvm.h"
int sensor(int port);
