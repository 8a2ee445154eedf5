ASM compile_for FOUR90 ;
#include "sys60.c"
#include "sys61.c"
extern int n;
