char *r = "abc";
int *ip = "ab";
char *rl = {"xy"};
char *names[2] = {"ab", "cd"};
char s[] = "abc";
char m[2][4] = {"ab", "cd"};
char full[2][3] = {"ab", "cd"};
char over[2][2] = {"abc", "d"};
char cube[2][2][3] = {{"a", "bc"}, {"d", "e"}};
char one[2][4] = "ab";
struct S { int a; char *p; };
struct S sp = {1, "z"};
int f() {
  char *local = "hi";
  char ok[3] = "hi";
  local = "hi";
}
struct M { int id; char *text; char name[4]; };
struct M msg = {1, "hello"};
struct M msgs[2] = {1, 2, "ab", 3, 4, "cd"};
