// expect 1 string_escape.c:3: the output differs from byte 1: stackvm wrote "\nb", the C build "\x0ab"
void main() {
  print_string("a\nb");
}
