// System definitions for the heater board.
#define PORT_SENSOR 3
#define PORT_HEATER 4
#define PORT_DISPLAY 5

int read_port(int port);
void write_port(int port, int value);
