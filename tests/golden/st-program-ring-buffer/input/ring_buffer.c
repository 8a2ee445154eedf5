// Serial receiver: bytes from the UART go into a ring buffer; complete lines
// are taken out, checksummed and echoed back.
#define SIZE 64
#define MASK 63
#define END_OF_LINE 10

char ring[SIZE];
int head = 0;
int tail = 0;
public int dropped = 0;
char line[SIZE];

int count() {
  return ((head - tail) & MASK);
}

// Stores one byte; when the buffer is full the byte is counted and lost.
void put(char value) {
  int next;
  next = (head + 1) & MASK;
  if (next == tail) {
    dropped++;
    return;
  }
  ring[head] = value;
  head = next;
}

char get() {
  char value;
  value = ring[tail];
  tail = (tail + 1) & MASK;
  return (value);
}

void poll_uart() {
  while (read_port(UART_STATUS) & RX_READY) {
    put(read_port(UART_DATA));
  }
}

// Copies one line out of the ring; returns its length, or -1 if none is whole.
int take_line() {
  int n;
  int i;
  char ch;
  n = count();
  i = 0;
  while (i < n) {
    if (ring[(tail + i) & MASK] == END_OF_LINE) {
      goto found;
    }
    i++;
  }
  return (-1);
found:
  for (n = 0; n <= i; n++) {
    ch = get();
    line[n] = ch;
  }
  return (i);
}

int checksum(char *text, int length) {
  int sum;
  sum = 0;
  do {
    length--;
    sum = sum + text[length];
  } while (length > 0);
  return (sum & 255);
}

void main() {
  int length;
  int k;
  while (1) {
    poll_uart();
    length = take_line();
    if (length < 0) {
      continue;
    }
    for (k = 0; k < length; k++) {
      write_port(UART_DATA, line[k]);
    }
    write_port(UART_DATA, checksum(line, length));
  }
}
