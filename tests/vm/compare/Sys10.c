#include "stackvm.h"
int sensor(int port);
void valve(int state);
