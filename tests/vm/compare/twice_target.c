// expect 1 twice_target.c:4: device call 2: stackvm made sensor(0), the C build no call
int table[4];
void main() {
  table[sensor(0)] += 1;
  print_int(table[0]);
}
