ASM compile_for table_lookup ;
#include "sys60.c"
#include "sys61.c"
