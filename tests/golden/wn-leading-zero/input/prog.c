#define MASK 017
int table[3] = {010, 10, 0};
int main() {
  int x;
  x = MASK;
  x = 0 + 0x10 + 100 + 09;
  x = table[0];
  print_string("007 in a string");
}
