struct R { struct R *m1; int x; } g18;
struct R *g23;
int v;
struct node { int v; struct node *next; };
struct node *p;
struct node *q;
struct B *early;
struct A { int k; struct B *b; };
struct B { int v; int w; struct A *a; };
struct A *pa;
int main() {
  v = g18.m1 - g23 + 1;
  v = p->next - q;
  p = p->next + 1;
  v = p->next[1].v;
  p = q + 1;
  early = pa->b + 1;
  v = early - pa->b;
  return (0);
}
