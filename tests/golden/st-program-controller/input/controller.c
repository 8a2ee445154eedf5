// Pump controller: a state machine that fills a tank, holds the level and
// stops on over-pressure until an operator clears the alarm.
#define IDLE     0
#define FILLING  1
#define HOLDING  2
#define ALARM    3
#define LOW_MARK  20
#define HIGH_MARK 80
#define MAX_PRESSURE 150

public int state = 0;
public int alarms = 0;
int cycles;

void set_outputs(int pump, int valve) {
  write_port(PORT_PUMP, pump);
  write_port(PORT_VALVE, valve);
}

// Reads the level sensor three times and returns the middle value.
int read_level() {
  int a;
  int b;
  int c;
  int t;
  a = read_port(PORT_LEVEL);
  b = read_port(PORT_LEVEL);
  c = read_port(PORT_LEVEL);
  if (a > b) { t = a; a = b; b = t; }
  if (b > c) { t = b; b = c; c = t; }
  if (a > b) { b = a; }
  return (b);
}

int next_state(int current, int level, int pressure) {
  if (pressure > MAX_PRESSURE) {
    return (ALARM);
  }
  switch (current) {
    case IDLE:
      if (level < LOW_MARK) { return (FILLING); }
      break;
    case FILLING:
      if (level >= HIGH_MARK) { return (HOLDING); }
      break;
    case HOLDING:
      if (level < LOW_MARK) { return (FILLING); }
      break;
    default:
      if (read_port(PORT_ALARM) == 0) { return (IDLE); }
  }
  return (current);
}

void main() {
  int level;
  int pressure;
  int previous;
  cycles = 0;
  for (;;) {
    level = read_level();
    pressure = read_port(PORT_PRESSURE);
    previous = state;
    state = next_state(state, level, pressure);
    if (state == FILLING) {
      set_outputs(1, 1);
    } else {
      set_outputs(0, 0);
    }
    if (state == ALARM) {
      if (previous != ALARM) { alarms++; }
      write_port(PORT_ALARM, 1);
    }
    cycles++;
    wait_ms(100);
  }
}
