#define MODE 2
#define TWICE(x) x + x
#define SPACED (1 + 2)
#IF MODE 2
int fast;
#ELSE
int slow;
#ENDIF
#ifdef MODE
int chosen;
#endif
#undef MODE
int main() {
  fast = SPACED;
}
