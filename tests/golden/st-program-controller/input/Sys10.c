// System definitions for the pump controller board.
#define PORT_LEVEL    1
#define PORT_PRESSURE 2
#define PORT_PUMP     10
#define PORT_VALVE    11
#define PORT_ALARM    12

int read_port(int port);
void write_port(int port, int value);
void wait_ms(int ms);
