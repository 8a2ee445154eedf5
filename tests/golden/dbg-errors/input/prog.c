// Faults the debug information must survive: names defined twice, a
// structure defined twice, a tag never defined, a function defined twice,
// a variadic head, an empty array and a body left open.
int x;
int x;
struct pair { int a; char b; };
struct pair { int a; char b; };
struct pair both;
struct missing *ghost;
char text[];
int f(int a) { return a; }
int f(int b) { return b; }
int log(int level,...) { int n; return level; }
void main() {
  int k;
  k = f(1);
