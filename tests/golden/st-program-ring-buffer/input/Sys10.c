// System definitions for the serial board.
#define UART_STATUS 20
#define UART_DATA   21
#define RX_READY    1

int read_port(int port);
void write_port(int port, int value);
