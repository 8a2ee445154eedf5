// expect 1 switch_subject.c:8: device call 2: stackvm made sensor(0), the C build no call
int mode;
void main() {
  switch (sensor(0)) {
    case 1:
      mode = 1;
      break;
    case 2:
      mode = 2;
      break;
  }
  print_int(mode);
}
