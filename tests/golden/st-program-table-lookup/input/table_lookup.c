// Heater curve: a table of sensor readings and duty cycles, searched and
// interpolated; the display shows a code for the band the reading is in.
#define POINTS 6

struct point {
  int reading;
  int duty;
};

fixed int readings[POINTS] = {100, 200, 350, 500, 700, 900};
fixed int duties[POINTS] = {95, 80, 60, 40, 20, 5};
char codes[5] = "LMHX";
struct point last;

// Index of the last table entry at or below the reading.
int find_band(int reading) {
  int i;
  for (i = POINTS - 1; i > 0; i--) {
    if (readings[i] <= reading) {
      break;
    }
  }
  return (i);
}

int interpolate(int reading) {
  int i;
  int span;
  int part;
  i = find_band(reading);
  if (reading <= readings[0]) { return (duties[0]); }
  if (i == POINTS - 1) { return (duties[i]); }
  span = readings[i + 1] - readings[i];
  part = reading - readings[i];
  return (duties[i] - (duties[i] - duties[i + 1]) * part / span);
}

char band_code(int duty) {
  int k;
  k = 3;
  if (duty > 75) { k = 0; }
  else { if (duty > 40) { k = 1; } else { if (duty > 10) { k = 2; } } }
  return (codes[k]);
}

void main() {
  int reading;
  while (1) {
    reading = read_port(PORT_SENSOR);
    last.reading = reading;
    last.duty = interpolate(reading);
    write_port(PORT_HEATER, last.duty);
    write_port(PORT_DISPLAY, band_code(last.duty));
    // Two raw instructions written as they stand: a short pause.
    ASM   push_parameter 1 ;
    ASM   drop 4 ;
  }
}
