char small = 300;
char low = -200;
char fine[3] = {255, -128, 65};
int word = 5000000000;
int words[2] = {4294967295, -2147483648};
long wide = 3037000500;
long huge = 99999999999999999999;
struct pair {
  long value;
  int count;
};
struct pair p = {300, 1};
long ls[2] = {300, 70000};
int main() {
  long l;
  int x;
  x = 3037000500;
  l = l & 4294967295;
  x = -2147483649;
  x = 2147483647;
  x = -2147483648;
  x = 0xFFFFFFFF;
  x = 99999999999999999999;
}
