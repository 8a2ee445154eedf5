ASM compile_for sub\prog ;
#include "sys60.c"
#include "sys61.c"
extern int m;
