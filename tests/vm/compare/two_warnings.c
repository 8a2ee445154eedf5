// expect 1 two_warnings.c:7: the output differs from byte 0: stackvm wrote "11", the C build "8"
int mode;
int y;
void main() {
  mode = 010;
  y = mode++;
  print_int(y);
  mode = 07;
}
