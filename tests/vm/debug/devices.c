#include "heater.c"
int readings;
void main() {
  int i;
  for (i = 0; i < 3; i++) {
    readings = readings + sensor(i);
    control(readings);
  }
  print_int(readings);
  print_char(10);
}
