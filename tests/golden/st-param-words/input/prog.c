struct Point { int x; int y; };
struct Mint { char c; };
int norm(struct Point *p, struct Mint m, int interval, char *charge, long longest) {
  return (p->x + interval);
}
int pub(public int publicity) {
  return (publicity);
}
