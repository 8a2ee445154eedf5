ASM compile_for ring_buffer ;
#include "sys60.c"
#include "sys61.c"
extern int dropped;
