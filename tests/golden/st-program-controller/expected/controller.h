ASM compile_for controller ;
#include "sys60.c"
#include "sys61.c"
extern int state;
extern int alarms;
