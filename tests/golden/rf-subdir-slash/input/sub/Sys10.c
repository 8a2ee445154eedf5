#define K 7
