/* The built-ins of stackvm.h in C, as docs/machine.md describes them: what
   stackvm --compare-gcc links with the program built by the C compiler (the
   text is built into stackvm), and what the differential test links with its
   generated programs. Installed beside stackvm.h. */
#include <stdio.h>
#include <stdlib.h>
void print_int(int value) { printf("%d", value); }
void print_long(long value) { printf("%ld", value); }
void print_char(char value) { putchar(value); }
void print_string(char *text) { fputs(text, stdout); }
int read_char(void) { return getchar(); }
int read_int(void) {
  int c = getchar(), negative = 0;
  unsigned value = 0;
  for (;; c = getchar()) {
    if (c == EOF) return 0;
    if (c >= '0' && c <= '9') break;
    if (c == '-' || c == '+') {
      int next = getchar();
      ungetc(next, stdin);
      if (next >= '0' && next <= '9') {
        negative = c == '-';
        c = getchar();
        break;
      }
    }
  }
  for (; c >= '0' && c <= '9'; c = getchar()) value = value * 10 + (unsigned)(c - '0');
  if (c != EOF) ungetc(c, stdin);
  return (int)(negative ? 0u - value : value);
}
