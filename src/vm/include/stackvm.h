// Routines that stackvm carries out on the host. Include this file from the
// program's Sys10.c (copy it beside the program: included files are found
// there) so that the compiler knows their prototypes:
//   #include "stackvm.h"
// print_int and print_long write the number in decimal, print_char one byte,
// print_string the bytes up to the first 0; none of them adds a line break
// (print_char(10) writes one). read_int gives the next decimal integer of the
// input (0 at its end), read_char the next byte (-1 at the end). exit ends
// the run with the given status.
void print_int(int value);
void print_long(long value);
void print_char(char value);
void print_string(char *text);
int read_int();
int read_char();
void exit(int status);
