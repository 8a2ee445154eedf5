// expect 1 the globals differ at the end: stackvm has mode = 10, the C build mode = 8
int mode;
void main() {
  mode = 010;
}
