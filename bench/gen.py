#!/usr/bin/env python3
"""Generates a large controller program that is valid both for stackcc and for a
plain C compiler: int/char/long, pointers, arrays, structures, functions with
parameters, every statement, braces everywhere, parenthesised returns, no
`else if`, plain #defines.

The symbol table holds 4999 names, so the program keeps a fixed number of names
per function and grows the function bodies with the requested size.

Usage: gen.py LINES OUT.c
"""
import sys

HEADER = """#define LIMIT 100
#define STEP 3
#define MASK 255
#define MODE_IDLE 0
#define MODE_RUN 1
#define MODE_STOP 2

struct Sensor {
  int value;
  char flags;
  long total;
  int history[8];
};

int g_counter;
int g_table[64];
char g_buffer[128];
long g_sum;
int *g_cursor;
struct Sensor g_sensor;
struct Sensor g_bank[4];
"""


def block(fn, k):
    """One chunk of statements (about 30 lines) that uses every statement kind."""
    return f"""  a = a + STEP * {k % 7 + 1};
  b = (a - {k}) & MASK;
  if (a > b) {{
    c = c + 1;
  }} else {{
    c = c - 1;
  }}
  while (i < LIMIT) {{
    i = i + STEP;
    if (i == {k % 50 + 10}) {{
      break;
    }}
  }}
  for (j = 0; j < 8; j++) {{
    g_table[j] = g_table[j] + j * {k % 5 + 1};
    if (j == 3) {{
      continue;
    }}
    g_sensor.history[j] = a;
  }}
  switch (c) {{
    case 0:
      g_counter = g_counter + 1;
      break;
    case {k % 9 + 1}:
      g_counter = g_counter - 1;
      break;
    default:
      g_sum = g_sum + c;
  }}
  do {{
    b = b - 1;
  }} while (b > {k % 11});
  p = &g_table[{k % 64}];
  *p = *p + a;
  g_bank[{k % 4}].value = g_bank[{k % 4}].value + b;
  d = (long) a + g_sensor.total;
"""


def function(fn, chunks, prev):
    lines = [f"int f{fn}(int a, int b) {{",
             "  int c;", "  int i;", "  int j;", "  long d;", "  int *p;",
             "  c = 0;", "  i = 0;", "  d = 0;"]
    for k in range(chunks):
        lines.append(block(fn, fn * 31 + k).rstrip("\n"))
    if prev is not None:
        lines.append(f"  c = c + f{prev}(a, b);")
    lines.append(f"  if (c > LIMIT) {{")
    lines.append(f"    goto done;")
    lines.append(f"  }}")
    lines.append(f"  c = c + 1;")
    lines.append(f"done:")
    lines.append(f"  return (c);")
    lines.append("}")
    return "\n".join(lines) + "\n"


def main():
    target = int(sys.argv[1])
    out = sys.argv[2]
    chunk_lines = block(0, 0).count("\n")
    # At most 550 functions (8 names each) keep the program inside the table.
    functions = max(1, min(550, target // 60))
    per_function = max(1, (target - HEADER.count("\n")) // functions)
    chunks = max(1, (per_function - 20) // chunk_lines)
    parts = [HEADER]
    for fn in range(functions):
        parts.append(function(fn, chunks, fn - 1 if fn > 0 else None))
    parts.append("int main() {\n  int r;\n  r = f%d(1, 2);\n  return (r);\n}\n" % (functions - 1))
    with open(out, "w") as f:
        f.write("\n".join(parts))


if __name__ == "__main__":
    main()
