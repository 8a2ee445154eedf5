#define N 10
#define M N+N
#define SELF SELF+1
#define EMPTY
#define F(x) x*2
#define LATE N
int a = N;
int NN = N_1 + xN + N2;
char s[12] = "N and N";
#define N 20
int b = M;
int c = LATE;
int d = N;
int e = SELF;
int f EMPTY = 4;
int g = F(3);
