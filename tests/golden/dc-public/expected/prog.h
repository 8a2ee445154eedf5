ASM compile_for prog ;
#include "sys60.c"
#include "sys61.c"
extern int *p;
extern char buf[16];
extern struct S  s;
extern int n;
extern long q[2];
extern long r;
extern int f;
extern int e;
extern int m[2][3];
