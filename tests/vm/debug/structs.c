struct point { int x; int y; char tag; };
struct point corners[2];
struct point *cursor;
int grid[3];
char label[8] = "corner";
long wide;
void main() {
  int k;
  cursor = &corners[1];
  for (k = 0; k < 3; k++) {
    grid[k] = k * 10;
  }
  cursor->x = 7;
  cursor->y = -2;
  cursor->tag = 65;
  corners[0].x = 1;
  wide = 1234567;
  print_int(cursor->x + grid[2]);
  print_char(10);
}
