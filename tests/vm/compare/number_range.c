// expect 1 the globals differ at the end: stackvm has big = -1257966796, the C build big = 3037000500
long big;
void main() {
  big = 3037000500;
}
