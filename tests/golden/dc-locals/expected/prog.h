ASM compile_for prog ;
#include "sys60.c"
#include "sys61.c"
extern int j_func_f;
struct S h(int a);
