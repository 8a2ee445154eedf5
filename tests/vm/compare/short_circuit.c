// expect 1 short_circuit.c:4: device call 1: stackvm made valve(1), the C build no call
int ready;
int open_valve() {
  valve(1);
  return 1;
}
void main() {
  ready = 0;
  if (ready && open_valve()) {
    print_int(1);
  }
}
