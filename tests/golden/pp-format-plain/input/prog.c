int a = 1;
int b = 2; // trailing note
// a whole-line comment
int c = 3; /* inline */ int d = 4;
/* a comment
   over three
   lines */ int e = 5;

#define SIX 6
int f = SIX;
#define ON 1
#IF ON 0
int g = 7;
#ENDIF
int h = 8;
