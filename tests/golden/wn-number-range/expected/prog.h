ASM compile_for prog ;
#include "sys60.c"
#include "sys61.c"
