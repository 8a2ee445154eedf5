int a = 1;
#ENDIF
#IF UNDEFINED 1
int b = 2;
#IF 9 x
int c = 3;
#ENDIF
#define OPEN 1
#IF OPEN 1
int d = 4;
