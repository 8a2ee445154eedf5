int x;
int x;
int arr[2];
int arr[3];
char t2[2] = "abc";
int v = ;
int 5x;
struct { int a; } z;
