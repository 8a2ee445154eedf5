int heater;
void control(int level) {
  if (level > 20) {
    heater = 0;
  } else {
    heater = 1;
  }
}
