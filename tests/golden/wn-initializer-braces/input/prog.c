struct P { int x; char c; };
struct P inner[2] = {{1, 2}, {3, 4}};
struct P flat[2] = {1, 2, 3, 4};
struct S { int a; int v[2]; };
struct S member[2] = {1, {2, 3}, 4, {5, 6}};
struct S nested[2] = {{1, {2, 3}}, {4, {5, 6}}};
int grid[2][2] = {{1, 2}, {3, 4}};
struct P one = {7, 8};
int main() {
  struct P local[1] = {{7, 8}};
  struct P fine[1] = {7, 8};
  return (0);
}
