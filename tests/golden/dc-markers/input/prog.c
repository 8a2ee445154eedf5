int a;
int b,
  c;
extern int e;
int x;
int x;
char t[1] = "ab";
struct P {
  int x;
  char y;
} pt = {1, 2};
