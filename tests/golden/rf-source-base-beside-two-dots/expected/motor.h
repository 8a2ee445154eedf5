ASM compile_for motor ;
#include "sys60.c"
#include "sys61.c"
