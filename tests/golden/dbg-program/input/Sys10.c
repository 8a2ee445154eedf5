// Board definitions: the ports and the host routines.
#define PORT_LEVEL 1
int read_port(int port);
void write_port(int port, int value);

// The ring of samples lives with the system code.
int clamp(int v,
          int low, int high)
{
  if (v < low) { return (low); }
  if (v > high) { return (high); }
  return (v);
}
