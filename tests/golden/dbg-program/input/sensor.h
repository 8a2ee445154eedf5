/* A sensor and its recent readings. */
struct reading { int value; char quality; };
struct sensor {
  char name[8];
  int port;
  struct reading last[4];
  struct reading *newest;
  struct sensor *next;
};
