char c1;
char c2;
char c3;
int total;
long big;
int main() {
  total = c1 + c2;
  big = c1 * c2;
  total = (c1 - c2);
  if (c1 + c2 > 200) {
    total = 1;
  }
  total = (int) (c1 + c2);
  c3 = c1 + c2;
  c3 += c1;
  total = (int) c1 + c2;
  total = c1 & c2;
  total = c1 + total;
  total = c1 / c2;
}
