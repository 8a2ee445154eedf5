ASM compile_for src/prog ;
#include "sys60.c"
#include "sys61.c"
