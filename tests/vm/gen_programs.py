#!/usr/bin/env python3
"""Writes random programs of the stackcc language that also mean the same in C.

Each program computes with int, long and char globals, locals, parameters and
arrays, a matrix, two structure types (one with a long member and an int array
member, one of one to nine bytes), char arrays holding strings, long arrays and
pointers into arrays; through loops, branches, switches, gotos and calls; it
reads its input with read_int and read_char, prints its results with
print_int, print_long, print_char and print_string, and may end in exit.

What the programs use:
- returns written `return (e);`, `return e;` and `return a + b * c;`, early
  returns inside branches and loops, `return;` in void functions and main;
  char and long functions returning int, long or char values (converted to
  the function's size); calls whose value is stored at another width, dropped,
  or used inside an expression
- global initialisers with signs and whole widths: negative ints, chars and
  longs, the least int, longs above 255 and above 2^32, lists of such values in
  int, char and long arrays, several declarators in one declaration, structure
  lists with the long member anywhere and cycling through an array of
  structures, strings in char arrays (sized, unsized and rows of a matrix)
- switch subjects that are expressions (`switch (g & 3)`, `switch (a + b)`,
  a long, a char)
- shifts of longs: right by 0..63, left by 0..31 (or by a constant up to 62)
  of a value masked so that it stays non-negative and cannot overflow; int
  right shifts by 0..31
- differences of pointers into one int, char, long or structure array, reads
  and writes through them, their comparisons as conditions
- unparenthesised chains of operators (`a + b * c - d << 2 < e`), negative
  literals, hexadecimal numbers, character constants, sizeof of a variable,
  casts to char, divisors that are negative, compound assignments of whole
  chains, ++ and -- on variables, elements and members of every kind, /=
- statements, conditions, for heads, returns and argument lists broken over
  two lines
- assignment chains `a = b = e`; through the int pointer `!p`, `*(char*)p`
  and `*((char*)p + k)`; a string literal subscripted (`"0123..."[i]`)
- members through `.`, `[i].` and `->`, the int array member, `&arr[i]`,
  whole structures copied between variables, elements and pointers
- print_string of char arrays, of offsets into them, of matrix rows and of
  string literals; a char pointer set to literals and arrays
- goto forward over statements and backward as a loop; break and continue,
  loops whose test may also end them early
- the same input for both builds (difftest.py gives it), exit with a status

The programs stay inside the rules where the language differs from C:
braces on every block, no else-if, no recursion, no ?:, no ++x, x++ only as a
statement, locals assigned before they are read (they are static data: only
read-only locals and main's have initialisers), no side effects in arguments,
in the targets of compound assignments or in switch subjects (a subject is
evaluated once per case tested, and holds at most 59 characters), a call inside an expression only beside main's own
locals, `default` only as the last case (it takes the next case slot), char
values only combined with wider operands (char op char is computed at one
byte), a comparison of longs is 8 bytes wide (cast to int inside int
arithmetic), numbers in expressions are 4 bytes (long constants come from
initialised globals), no leading zeros (010 is ten), a cast binds tighter than
a member (so `(int)(s.c)`), no cast directly before a negative literal,
divisors from 1 to 16 and from -17 to -2, int left shift counts from 0 to 15,
no `'` or `/` in strings (character constants and comment openers are
replaced inside strings too), structure lists flat (a nested list does not
restart the member walk).

They also keep away from faults of the compiler: a string literal in code
holding `;` (the statement is lost), `}` (reported as a missing `;`) or `(`
(reported as an unclosed group); a comparison of two pointers used as a
number (it keeps the pointer type, so `(p != q) + 1` adds the element size,
and two of them added are reported); a structure list reaching an array
member (it takes one value there and the later members move); a nested list
with a short row (the row is not padded: only whole rows are nested);
hexadecimal numbers in initialisers (not read as numbers); a line break in a
switch subject counts two characters of its 59 (subjects keep to 57).

Usage: gen_programs.py SEED  -> prints the program for that seed.
"""
import random
import re
import string
import sys

ARITH = ["+", "-", "*", "&", "|", "^"]
COMPARE = ["<", "<=", ">", ">=", "==", "!="]
# characters a string literal may hold: see the rules above
STRING_CHARS = string.ascii_letters + string.digits + "  !#$%&)*+,-.:<=>?@[]^_{|~"
INT_MIN, INT_MAX = -(1 << 31), (1 << 31) - 1
# operands and operators, as the compiler counts an expression's terms
TERM = re.compile(r"[A-Za-z_0-9']+|<<|>>|<=|>=|==|!=|&&|\|\||->|[-+*/%&|^<>!~=.]")
LONG_MAX = (1 << 63) - 1


class Gen:
    def __init__(self, seed):
        self.r = random.Random(seed)
        self.lines = []
        self.ints = []      # names readable as int in the current scope
        self.longs = []
        self.chars = []
        self.readonly = set()  # names that are read but never assigned
        self.arrays = []    # int arrays of 8
        self.char_arrays = []  # char arrays of 8 holding numbers
        self.strings = []   # (name, size, length) char arrays holding strings
        self.long_arrays = []  # long arrays of 4
        self.funcs = []     # (name, return type, [param types])
        self.loop_vars = []
        self.busy = set()   # loop variables in use
        self.pointer = None  # an int pointer into one of the arrays
        self.string_pointer = None  # a char pointer to strings
        self.struct = None  # the structure type: {"members": [(name, type)]}
        self.struct_single = None
        self.struct_array = None  # an array of 4 structures
        self.struct_pointer = None  # points into the array or at the single one
        self.differences = []  # (p, q, array, elements, kind): p and q point into array
        self.matrix = None  # an int array [2][4]
        self.small = None   # a structure type of at most 9 bytes, with su0 and sua[4]
        self.rows = None    # a char array [2][6] of strings
        self.main_locals = []  # names no function can change: main's own ints
        self.ret = None     # the current function's return type
        self.loops = []     # kinds of the enclosing loops and switches, innermost last
        self.labels = 0
        self.nest = 0       # depth of atoms inside atoms

    # ---- numbers ----
    def int_literal(self):
        r = self.r
        k = r.randrange(20)
        if k < 13:
            return str(r.randrange(0, 1000))
        if k < 15:
            return str(r.randrange(0, 2000000000))
        if k < 18:
            return f"-{r.randrange(1, 1000) if r.random() < 0.7 else r.randrange(1, 2000000000)}"
        return f"'{r.choice(string.ascii_letters + string.digits)}'"

    def int_value(self):
        r = self.r
        k = r.randrange(10)
        if k < 4:
            return r.randrange(0, 1000)
        if k < 6:
            return -r.randrange(1, 1000)
        if k < 9:
            return r.randrange(INT_MIN + 1, INT_MAX + 1)
        return r.choice([INT_MIN, INT_MAX, -1, 0])

    def char_value(self):
        return self.r.choice([self.r.randrange(-128, 128), self.r.randrange(0, 100), -128, 127, -1])

    def long_value(self):
        r = self.r
        k = r.randrange(8)
        if k == 0:
            return r.randrange(0, 256)
        if k == 1:
            return r.randrange(256, 1 << 32)
        if k == 2:
            return r.randrange(1 << 32, LONG_MAX + 1)
        if k == 3:
            return -r.randrange(1, 256)
        if k == 4:
            return -r.randrange(256, 1 << 32)
        if k == 5:
            return -r.randrange(1 << 32, LONG_MAX + 1)
        if k == 6:
            return r.choice([5000000000, -5000000000, 4294967296, 4294967295, 2147483648, -2147483649,
                             LONG_MAX, -LONG_MAX, -1, 255, 256])
        return r.randrange(-1000, 1000)

    def value_of(self, kind):
        return {"int": self.int_value, "char": self.char_value, "long": self.long_value}[kind]()

    def text_literal(self, length):
        while True:
            text = "".join(self.r.choice(STRING_CHARS) for _ in range(length))
            # NULL and sizeof are found inside longer words, strings too
            if "NULL" not in text and "sizeof" not in text:
                return text

    # ---- expressions ----
    @staticmethod
    def wrap(e):
        """e as an operand of a prefix operator or a cast."""
        if e.isidentifier() or e.isdigit():
            return e
        if e.startswith("(") and e.endswith(")"):
            depth = 0
            for i, ch in enumerate(e):
                depth += ch == "("
                depth -= ch == ")"
                if depth == 0 and i < len(e) - 1:
                    break
            else:
                return e
        return f"({e})"

    def index(self, mask):
        return f"{self.int_expr(1)} & {mask}"

    def struct_place(self):
        """The text before a member: `s.`, `sa[i].` or `sp->`."""
        r = self.r
        places = []
        if self.struct_single:
            places.append(lambda: f"{self.struct_single}.")
        if self.struct_array:
            places.append(lambda: f"{self.struct_array}[{self.index(3)}].")
        if self.struct_pointer:
            places.append(lambda: f"{self.struct_pointer}->")
        return r.choice(places)() if places else None

    def member(self, kind):
        """A member reference of the given kind ("int", "long", "char"), or None."""
        if not self.struct:
            return None
        names = [n for n, t in self.struct["members"] if t == kind]
        if kind == "int" and any(t == "int4" for _, t in self.struct["members"]):
            names.append("mv")
        if not names:
            return None
        place = self.struct_place()
        if place is None:
            return None
        name = self.r.choice(names)
        if name == "mv":
            return f"{place}mv[{self.index(3)}]"
        return place + name

    def int_atom(self):
        r = self.r
        if self.nest >= 2 or not self.ints:
            return self.int_literal() if r.random() < 0.4 or not self.ints else r.choice(self.ints)
        self.nest += 1
        try:
            return self.int_atom_kind(r.randrange(24))
        finally:
            self.nest -= 1

    def int_atom_kind(self, k):
        r = self.r
        if k < 5:
            return self.int_literal()
        if k < 10:
            return r.choice(self.ints)
        if k < 11 and self.chars:
            c = r.choice(self.chars)
            return r.choice([f"(int){c}", f"({c} + {r.randrange(0, 50)})", f"({c} {r.choice(COMPARE)} {r.choice(self.chars)})",
                             f"((char){self.wrap(self.int_expr(1))} + {r.randrange(0, 50)})",
                             f"({self.char_atom()} {r.choice(['<<', '>>'])} ({self.int_atom()} & 15))"])
        if k < 13 and self.arrays:
            if self.pointer and r.random() < 0.3:
                p = self.pointer
                return r.choice([f"*{p}", f"*{p}", f"(!{p} + {r.randrange(0, 9)})",
                                 f"(int)*(char*){p}", f"(int)*((char*){p} + {r.randrange(0, 4)})",
                                 f'(int)"0123456789ABCDEF"[{self.index(15)}]'])
            return f"{r.choice(self.arrays)}[{self.index(7)}]"
        if k < 14 and self.longs:
            return f"(int){r.choice(self.longs)}"
        if k < 15 and self.char_arrays:
            return f"(int){r.choice(self.char_arrays)}[{self.index(7)}]"
        if k < 16 and self.strings:
            name, size, _ = r.choice(self.strings)
            return f"({name}[{self.index(3 if size >= 4 else 0)}] + {r.randrange(0, 9)})"
        if k < 17 and self.long_arrays:
            return f"(int){r.choice(self.long_arrays)}[{self.index(3)}]"
        if k < 20 and self.struct:
            kind = r.choice(["int", "int", "char", "long"])
            m = self.member(kind)
            if m is not None:
                return m if kind == "int" else f"(int)({m})"
        if k < 22 and self.differences:
            p, q, _, _, kind = r.choice(self.differences)
            if r.random() < 0.4:
                return {"int": f"*{p}", "char": f"(int)*{p}", "long": f"(int)*{p}",
                        "struct T": f"{p}->ma", "struct U": f"({p}->ua + 0)"}[kind]
            return f"(int)({p} - {q})"
        if k < 23 and self.matrix:
            return f"{self.matrix}[{self.index(1)}][{self.index(3)}]"
        if k < 23 and self.small:
            name, kind = r.choice(self.small["members"])
            m = f"{self.small_place()}.{name}"
            return m if kind == "int" else f"({m} + {r.randrange(0, 9)})"
        if k < 24:
            if r.random() < 0.5:
                return f"0x{r.randrange(0, 1 << 31):X}"
            kind = r.choice(["int", "long", "char"])
            names = {"int": self.ints, "long": self.longs, "char": self.chars}[kind]
            if names:
                return f"(int)sizeof({r.choice(names)})"
        return r.choice(self.ints)

    def int_expr(self, depth):
        r = self.r
        if depth <= 0 or r.random() < 0.3:
            return self.int_atom()
        k = r.randrange(12)
        a = self.int_expr(depth - 1)
        if k < 4:
            return f"({a} {r.choice(ARITH)} {self.int_expr(depth - 1)})"
        if k < 6:
            return f"({a} {r.choice(COMPARE)} {self.int_expr(depth - 1)})"
        if k < 7:
            return f"({a} {r.choice(['/', '%'])} {self.divisor(depth - 1)})"
        if k < 8:
            if r.random() < 0.5:
                return f"({a} >> ({self.int_expr(depth - 1)} & 31))"
            return f"({a} {r.choice(['<<', '>>'])} ({self.int_expr(depth - 1)} & 15))"
        if k < 9:
            return f"({a} {r.choice(['&&', '||'])} {self.int_expr(depth - 1)})"
        if k < 10:
            return f"{r.choice(['!', '~'])}{self.wrap(a)}"
        if k < 11 and self.longs:
            # a comparison of longs is 8 bytes wide: int arithmetic takes it cast
            return f"(int)({self.long_expr(depth - 1)} {r.choice(COMPARE)} {self.long_expr(depth - 1)})"
        return f"({a} - {self.int_expr(depth - 1)})"

    def divisor(self, depth):
        """1 to 16 or -17 to -2: never 0, never -1 (the least value over -1 overflows)."""
        if self.r.random() < 0.75:
            return f"(({self.int_expr(depth)} & 15) + 1)"
        return f"(({self.int_expr(depth)} & 15) - 17)"

    def int_chain(self, terms=None):
        """Operators without parentheses around the whole: `a + b * c - d`."""
        r = self.r
        terms = terms or r.randrange(2, 5)
        parts = [self.int_expr(1)]
        shifted = False  # after a shift by a constant only looser operators follow
        for _ in range(terms - 1):
            k = r.randrange(22)
            if k < 13 and not shifted:
                parts += [r.choice(ARITH), self.int_expr(1)]
            elif k < 15 and not shifted:
                parts += [r.choice(["/", "%"]), self.divisor(1)]
            elif k < 17 and not shifted:
                parts += [r.choice(["<<", ">>"]), str(r.randrange(0, 16))]
                shifted = True
                continue
            elif k < 19:
                parts += [r.choice(COMPARE), self.int_expr(1)]
            elif k < 20:
                parts += [r.choice(["&", "^", "|"]), self.int_expr(1)]
            else:
                parts += [r.choice(["&&", "||"]), self.int_expr(1)]
            shifted = False
        return " ".join(parts)

    def int_value_expr(self, depth=3):
        """An int expression for a statement: parenthesised, a chain or an atom."""
        k = self.r.randrange(10)
        if k < 3:
            return self.int_chain()
        if k < 4:
            return self.int_atom()
        return self.int_expr(depth)

    def long_atom(self):
        r = self.r
        k = r.randrange(10)
        if self.longs and k < 6:
            return r.choice(self.longs)
        if k < 7 and self.long_arrays and self.nest < 2:
            self.nest += 1
            try:
                return f"{r.choice(self.long_arrays)}[{self.index(3)}]"
            finally:
                self.nest -= 1
        if k < 8 and self.struct and self.nest < 2:
            self.nest += 1
            try:
                m = self.member("long")
                if m is not None:
                    return m
            finally:
                self.nest -= 1
        return f"(long){self.wrap(self.int_atom())}"

    def long_shift(self, depth):
        r = self.r
        value = self.long_expr(depth - 1)
        k = r.randrange(4)
        if k == 0:
            return f"({value} >> ({self.int_expr(depth - 1)} & 31))"
        if k == 1:
            return f"({value} >> {r.randrange(0, 64)})"
        if k == 2:
            # a non-negative value below 2^31 shifted by at most 31 stays below 2^62
            return f"(({value} & (long)2147483647) << ({self.int_expr(depth - 1)} & 31))"
        count = r.randrange(0, 63)
        mask = min((1 << (62 - count)) - 1, INT_MAX)
        return f"(({value} & (long){mask}) << {count})"

    def long_expr(self, depth):
        r = self.r
        if depth <= 0 or r.random() < 0.3:
            return self.long_atom()
        k = r.randrange(8)
        if k < 3:
            return f"({self.long_expr(depth - 1)} {r.choice(ARITH)} {self.long_expr(depth - 1)})"
        if k < 4:
            return f"({self.long_expr(depth - 1)} {r.choice(['+', '-', '*'])} {self.int_expr(depth - 1)})"
        if k < 5:
            return f"({self.long_expr(depth - 1)} {r.choice(['/', '%'])} (long){self.divisor(depth - 1)})"
        if k < 7:
            return self.long_shift(depth)
        if r.random() < 0.2:
            # !l is an int in C: the cast keeps it a long when it is shifted
            return f"{r.choice(['~', '(long)!'])}{self.wrap(self.long_expr(depth - 1))}"
        return f"({self.long_expr(depth - 1)} * (long)({self.int_expr(depth - 1)}))"

    def condition(self):
        r = self.r
        k = r.randrange(10)
        if k < 2:
            return self.int_chain()
        if k < 3 and self.longs:
            # a long comparison as a whole condition needs no cast
            return f"{self.long_expr(1)} {r.choice(COMPARE)} {self.long_expr(1)}"
        if k < 4 and self.differences:
            # a comparison of pointers stays a pointer: it is only tested
            p, q, _, _, _ = r.choice(self.differences)
            return f"{p} {r.choice(COMPARE)} {q}"
        return self.int_expr(3)

    # ---- statements ----
    def emit(self, indent, text):
        self.lines.append("  " * indent + text)

    def targets(self, names):
        return [n for n in names if n not in self.readonly]

    def assign(self, indent):
        r = self.r
        ints, longs, chars = self.targets(self.ints), self.targets(self.longs), self.targets(self.chars)
        k = r.randrange(20)
        if k < 5 or not (longs or chars or self.arrays):
            if len(ints) > 1 and r.random() < 0.2:
                a, b = r.sample(ints, 2)  # a chain: b first, then a from b
                self.emit(indent, f"{a} = {b} = {self.int_value_expr()};")
            else:
                self.emit(indent, f"{r.choice(ints)} = {self.int_value_expr()};")
        elif k < 7 and longs:
            self.emit(indent, f"{r.choice(longs)} = {self.long_expr(3)};")
        elif k < 8 and chars:
            if r.random() < 0.5:
                self.emit(indent, f"{r.choice(chars)} = {self.int_expr(2)};")
            else:
                self.char_statement(indent, chars)
        elif k < 9 and self.arrays and self.pointer:
            self.pointer_statement(indent)
        elif k < 10 and self.arrays:
            self.emit(indent, f"{r.choice(self.arrays)}[{self.index(7)}] = {self.int_value_expr(2)};")
        elif k < 11 and self.char_arrays:
            self.emit(indent, f"{r.choice(self.char_arrays)}[{self.index(7)}] = {self.int_expr(2)};")
        elif k < 12 and self.long_arrays:
            self.emit(indent, f"{r.choice(self.long_arrays)}[{self.index(3)}] = {self.long_expr(2)};")
        elif k < 14 and self.struct:
            self.struct_statement(indent)
        elif k < 15 and self.strings:
            self.string_statement(indent)
        elif k < 16 and self.matrix:
            self.emit(indent, f"{self.matrix}[{self.index(1)}][{self.index(3)}] = {self.int_value_expr(2)};")
        elif k < 17 and self.rows:
            self.emit(indent, f"{self.rows}[{self.index(1)}][{self.index(3)}] = ({self.int_expr(1)} & 15) + {r.choice([65, 97, 48])};")
        elif k < 18 and self.small:
            self.small_statement(indent)
        elif k < 19 and self.reads:
            self.read_statement(indent)
        else:
            self.emit(indent, f"{r.choice(ints)} = {self.int_value_expr()};")

    def pointer_statement(self, indent):
        r = self.r
        p = self.pointer
        k = r.randrange(4)
        if k == 0:
            self.emit(indent, f"{p} = {r.choice(self.arrays)};")
        elif k == 1:
            self.emit(indent, f"{p} = &{r.choice(self.arrays)}[{self.index(7)}];")
        elif k == 2:
            self.emit(indent, f"*{p} = {self.int_expr(2)};")
        else:
            self.emit(indent, f"{r.choice(self.targets(self.ints))} {r.choice(['+=', '-=', '*='])} *{p};")

    def struct_statement(self, indent):
        r = self.r
        k = r.randrange(6)
        if k == 0 and self.struct_pointer:
            if self.struct_array and (r.random() < 0.7 or not self.struct_single):
                if r.random() < 0.3:
                    self.emit(indent, f"{self.struct_pointer} = {self.struct_array};")
                else:
                    self.emit(indent, f"{self.struct_pointer} = &{self.struct_array}[{self.index(3)}];")
            else:
                self.emit(indent, f"{self.struct_pointer} = &{self.struct_single};")
            return
        if k == 1 and r.random() < 0.5:
            # a whole structure is copied byte by byte
            places = ([self.struct_single] if self.struct_single else []) + \
                     ([f"{self.struct_array}[{self.index(3)}]"] if self.struct_array else []) + \
                     ([f"*{self.struct_pointer}"] if self.struct_pointer else [])
            self.emit(indent, f"{r.choice(places)} = {r.choice(places)};")
            return
        kind = r.choice(["int", "int", "long", "char"])
        m = self.member(kind)
        if m is None:
            m, kind = self.member("int"), "int"
        if kind == "long":
            self.emit(indent, f"{m} = {self.long_expr(2)};")
        elif kind == "char":
            self.emit(indent, f"{m} = {self.int_expr(2)};")
        elif r.random() < 0.3:
            self.emit(indent, f"{m} {r.choice(['+=', '-=', '*='])} {self.int_expr(2)};")
        else:
            self.emit(indent, f"{m} = {self.int_value_expr(2)};")

    def string_statement(self, indent):
        """Writes a letter into a string: never its last byte, never a 0."""
        r = self.r
        writable = [s for s in self.strings if s[1] >= 5]
        if not writable:
            self.emit(indent, f"print_string({r.choice(self.strings)[0]});")
            return
        name = r.choice(writable)[0]
        self.emit(indent, f"{name}[{self.index(3)}] = ({self.int_expr(1)} & 15) + {r.choice([65, 97, 48])};")

    def printing(self, indent):
        r = self.r
        k = r.randrange(20)
        if self.longs and k < 5:
            self.emit(indent, f"print_long({self.long_expr(2)});")
        elif k < 7 and (self.strings or self.string_pointer or self.rows):
            self.print_string(indent)
        elif k < 8 and self.differences:
            p, q, _, _, _ = r.choice(self.differences)
            self.emit(indent, f"print_int({p} - {q});")
        elif k < 9:
            value = r.choice(["32", str(r.randrange(48, 123)), repr(r.choice(string.ascii_letters)),
                              f"({self.int_expr(1)} & 63) + 48", self.int_expr(1)])
            self.emit(indent, f"print_char({value});")
            return
        else:
            self.emit(indent, f"print_int({self.int_value_expr()});")
        self.emit(indent, "print_char(10);")

    def print_string(self, indent):
        r = self.r
        k = r.randrange(7)
        if k < 2 and self.strings:
            name, _, length = r.choice(self.strings)
            if length >= 2 and r.random() < 0.4:
                if r.random() < 0.5:
                    self.emit(indent, f"print_string({name} + ({self.int_expr(1)} & 1));")
                else:
                    self.emit(indent, f"print_string(&{name}[{self.index(1)}]);")
            else:
                self.emit(indent, f"print_string({name});")
        elif k < 3 and self.rows:
            # every row keeps its last byte 0
            if r.random() < 0.5:
                self.emit(indent, f"print_string({self.rows}[{self.index(1)}]);")
            else:
                self.emit(indent, f"print_string(&{self.rows}[{self.index(1)}][{self.index(3)}]);")
        elif k < 4:
            self.emit(indent, f'print_string("{self.text_literal(r.randrange(0, 12))}");')
        elif k < 5 and self.string_pointer:
            cp = self.string_pointer
            if self.strings and r.random() < 0.4:
                self.emit(indent, f"{cp} = {r.choice(self.strings)[0]};")
            else:
                self.emit(indent, f'{cp} = "{self.text_literal(r.randrange(0, 10))}";')
            self.emit(indent, f"print_string({cp});")
        elif self.string_pointer:
            self.emit(indent, f"print_string({self.string_pointer});")
        elif self.strings:
            self.emit(indent, f"print_string({r.choice(self.strings)[0]});")
        else:
            self.emit(indent, f"print_string({self.rows}[1]);")

    def difference(self, indent):
        """Points a pair of pointers into their array and uses the difference."""
        r = self.r
        p, q, array, count, kind = r.choice(self.differences)
        mask = count - 1
        self.emit(indent, f"{p} = &{array}[{self.index(mask)}];")
        self.emit(indent, f"{q} = {array};" if r.random() < 0.3 else f"{q} = &{array}[{self.index(mask)}];")
        k = r.randrange(5)
        if k == 0:
            self.emit(indent, f"print_int({p} - {q});")
            self.emit(indent, "print_char(10);")
        elif k == 4:
            # one past the last element may be pointed at, not read
            shifted = r.choice([f"({p} + 1) - {q}", f"{p} - ({q} + 1)", f"{p} + 1 - {q}", f"{p} - {q} - 1"])
            self.emit(indent, f"print_int({shifted});")
            self.emit(indent, "print_char(10);")
        elif k == 1:
            self.emit(indent, f"{r.choice(self.targets(self.ints))} = {p} - {q};")
        elif k == 2:
            self.emit(indent, f"{r.choice(self.targets(self.ints))} = (int)({p} - {array}) * {r.randrange(1, 9)};")
        elif kind == "long":
            self.emit(indent, f"*{p} = {self.long_expr(2)};")
        elif any(array == name for name, _, _ in self.strings):
            # a string keeps its letters and its end
            self.emit(indent, f"print_int(*{p});")
            self.emit(indent, "print_char(10);")
        elif kind in ("int", "char"):
            self.emit(indent, f"*{p} = {self.int_expr(2)};")
        elif r.random() < 0.5:
            self.emit(indent, f"{p}->{'ma' if kind == 'struct T' else 'ua'} = {self.int_expr(2)};")
        else:
            # a whole structure is copied byte by byte
            self.emit(indent, f"*{p} = *{q};")

    def compound(self, indent):
        r = self.r
        k = r.randrange(10)
        longs = self.targets(self.longs)
        if k < 2:
            places = [r.choice(self.targets(self.ints))] + longs[:1] + self.targets(self.chars)[:1]
            if self.arrays:
                places.append(f"{r.choice(self.arrays)}[{self.index(7)}]")
            if self.struct:
                places.append(self.member(r.choice(["int", "long", "char"])) or self.member("int"))
            self.emit(indent, f"{r.choice(places)}{r.choice(['++', '--'])};")
        elif k < 3:
            divisor = r.choice([f"(({self.int_expr(1)} & 15) + 1)", f"(({self.int_expr(1)} & 15) - 17)"])
            self.emit(indent, f"{r.choice(self.targets(self.ints))} /= {divisor};")
        elif k < 4 and longs:
            value = self.long_expr(2) if r.random() < 0.5 else self.int_expr(2)
            self.emit(indent, f"{r.choice(longs)} {r.choice(['+=', '-=', '*='])} {value};")
        else:
            value = self.int_chain() if r.random() < 0.3 else self.int_expr(2)
            self.emit(indent, f"{r.choice(self.targets(self.ints))} {r.choice(['+=', '-=', '*='])} {value};")

    def arguments(self, params):
        args = []
        for p in params:
            if p == "long":
                args.append(self.long_expr(2) if self.r.random() < 0.7 else self.int_expr(2))
            elif self.r.random() < 0.2:
                args.append(self.int_chain(2))
            else:
                args.append(self.int_expr(2))
        return ", ".join(args)

    def call(self, indent):
        r = self.r
        name, ret, params = r.choice(self.funcs)
        args = self.arguments(params)
        if ret == "void" or r.random() < 0.1:
            self.emit(indent, f"{name}({args});")
            return
        kinds = {"int": self.targets(self.ints), "long": self.targets(self.longs), "char": self.targets(self.chars)}
        kind = ret if r.random() < 0.6 or not kinds[ret] else r.choice(["int", "long", "char"])
        target = r.choice(kinds[kind] or kinds["int"])
        self.emit(indent, f"{target} = {name}({args});")

    def free_loop_var(self):
        for v in self.loop_vars:
            if v not in self.busy:
                return v
        return None

    def block(self, indent, depth, count):
        for _ in range(count):
            self.statement(indent, depth)

    def statement(self, indent, depth):
        # an expression of more than 300 terms or 1023 characters (operators
        # count three or four) is reported: such a statement is made again
        for _ in range(5):
            mark = len(self.lines)
            self.one_statement(indent, depth)
            if all(len(TERM.findall(line)) <= 200 and len(line) <= 450 for line in self.lines[mark:]):
                return
            del self.lines[mark:]
        self.emit(indent, f"{self.r.choice(self.targets(self.ints))} = {self.int_literal()};")

    def one_statement(self, indent, depth):
        r = self.r
        k = r.randrange(26)
        if depth > 0 and k < 3:
            self.if_statement(indent, depth)
        elif depth > 0 and k < 5 and self.free_loop_var():
            self.loop(indent, depth)
        elif depth > 0 and k < 6:
            self.switch(indent, depth)
        elif depth > 0 and k < 7:
            self.goto_statement(indent, depth)
        elif k < 9 and self.funcs:
            self.call(indent)
        elif k < 11:
            self.printing(indent)
        elif k < 12:
            self.compound(indent)
        elif k < 13 and self.differences:
            self.difference(indent)
        elif k < 14 and (self.loops or self.ret is not None):
            self.jump(indent)
        elif k < 15 and self.main_locals and any(f[1] != "void" for f in self.funcs):
            self.call_in_expression(indent, depth)
        else:
            self.assign(indent)

    def local_chain(self):
        """An expression of main's own ints and numbers, which no call can change."""
        r = self.r
        parts = [r.choice(self.main_locals)]
        for _ in range(r.randrange(0, 3)):
            parts += [r.choice(ARITH + COMPARE), r.choice(self.main_locals + [str(r.randrange(0, 100))])]
        return " ".join(parts)

    def call_in_expression(self, indent, depth):
        """A call as an operand: the other operands are main's own locals, so the
        order in which C evaluates them does not matter."""
        r = self.r
        name, ret, params = r.choice([f for f in self.funcs if f[1] != "void"])
        call = f"{name}({self.arguments(params)})"
        value = call if ret == "int" else f"(int){call}"
        k = r.randrange(4)
        targets = [v for v in self.main_locals if v not in self.readonly]
        if k == 0 and targets:
            self.emit(indent, f"{r.choice(targets)} = {value} {r.choice(ARITH)} {self.local_chain()};")
        elif k == 1:
            show = "print_long" if ret == "long" else "print_int"
            self.emit(indent, f"{show}({call});")
            self.emit(indent, "print_char(10);")
        elif k == 2 and ret == "long":
            self.emit(indent, f"lv = {call} {r.choice(['+', '-', '*', '^'])} lv;")
        else:
            self.emit(indent, f"if ({value} {r.choice(COMPARE)} {self.local_chain()}) {{")
            self.block(indent + 1, max(depth - 1, 0), r.randrange(1, 3))
            self.emit(indent, "}")

    def jump(self, indent):
        """A break, continue or early return under a condition."""
        r = self.r
        choices = []
        if self.loops:
            choices.append("break;")
        if any(k != "switch" for k in self.loops):
            # every loop steps its variable before its body, so continue is safe
            choices.append("continue;")
        if self.ret is not None:
            choices.append(self.return_statement())
        if self.exits and self.ret is not None and r.random() < 0.2:
            # only a program that ends in exit may leave early: its status is compared
            choices = [f"exit({self.int_expr(1)});"]
        if not choices:
            return
        self.emit(indent, f"if ({self.condition()}) {{")
        if r.random() < 0.5:
            self.assign(indent + 1)
        self.emit(indent + 1, r.choice(choices))
        self.emit(indent, "}")

    def if_statement(self, indent, depth):
        self.emit(indent, f"if ({self.condition()}) {{")
        self.block(indent + 1, depth - 1, self.r.randrange(1, 4))
        if self.r.random() < 0.5:
            self.emit(indent, "} else {")
            self.block(indent + 1, depth - 1, self.r.randrange(1, 3))
        self.emit(indent, "}")

    def loop(self, indent, depth):
        r = self.r
        v = self.free_loop_var()
        self.busy.add(v)
        self.ints.remove(v)  # the body only reads it through the loop's own steps
        bound = r.randrange(1, 7)
        test = f"{v} < {bound}"
        if r.random() < 0.2:
            # a loop that may also end early; its variable bounds it
            test += f" {r.choice(['&&', '&'])} {self.int_expr(2)}"
        kind = r.randrange(3)
        if kind == 0:
            self.emit(indent, f"for ({v} = 0; {test}; {v}++) {{")
            self.loop_body(indent, depth, v, "for")
            self.emit(indent, "}")
        elif kind == 1:
            self.emit(indent, f"{v} = 0;")
            self.emit(indent, f"while ({test}) {{")
            self.emit(indent + 1, f"{v}++;")
            self.loop_body(indent, depth, v, "while")
            self.emit(indent, "}")
        else:
            self.emit(indent, f"{v} = 0;")
            self.emit(indent, "do {")
            self.emit(indent + 1, f"{v}++;")
            self.loop_body(indent, depth, v, "do")
            self.emit(indent, f"}} while ({test});")
        self.ints.append(v)
        self.busy.discard(v)

    def loop_body(self, indent, depth, v, kind):
        readers = self.targets(self.ints)
        # the body reads the loop variable but never writes it
        self.ints.append(v)
        self.readonly.add(v)
        self.loops.append(kind)
        self.block(indent + 1, depth - 1, self.r.randrange(1, 4))
        self.loops.pop()
        self.readonly.discard(v)
        self.ints.remove(v)
        # the loop variable may be read in the body but never written
        if self.r.random() < 0.5:
            target = self.r.choice([t for t in readers if t != v] or ["g0"])
            self.emit(indent + 1, f"{target} = ({target} + {v});")

    def label(self, kind):
        self.labels += 1
        return f"{kind}{self.labels}"

    def goto_statement(self, indent, depth):
        r = self.r
        v = self.free_loop_var()
        if v and r.random() < 0.4:
            # a loop made of a label and a jump back
            back = self.label("back")
            bound = r.randrange(1, 5)
            self.busy.add(v)
            self.ints.remove(v)
            self.emit(indent, f"{v} = 0;")
            self.emit(indent - 1 if indent > 1 else indent, f"{back}:")
            self.emit(indent, f"{v}++;")
            self.ints.append(v)
            self.readonly.add(v)
            self.block(indent, depth - 1, r.randrange(1, 3))
            self.readonly.discard(v)
            self.ints.remove(v)
            self.emit(indent, f"if ({v} < {bound}) {{")
            self.emit(indent + 1, f"goto {back};")
            self.emit(indent, "}")
            self.ints.append(v)
            self.busy.discard(v)
            return
        skip = self.label("skip")
        self.emit(indent, f"if ({self.condition()}) {{")
        self.emit(indent + 1, f"goto {skip};")
        self.emit(indent, "}")
        self.block(indent, depth - 1, r.randrange(1, 3))
        self.emit(indent - 1 if indent > 1 else indent, f"{skip}:")
        self.printing(indent)

    def switch_subject(self):
        r = self.r
        for _ in range(20):
            k = r.randrange(7)
            if k == 0:
                subject = f"{self.int_atom()} & 3"
            elif k == 1:
                subject = f"({self.int_atom()} & 3) + ({self.int_atom()} & 1)"
            elif k == 2:
                subject = f"{self.int_atom()} + {self.int_atom()}"
            elif k == 3:
                subject = f"{self.int_expr(2)} % 5"
            elif k == 4 and self.longs:
                subject = f"{r.choice(self.longs)} & 3"
            elif k == 5 and self.chars:
                subject = r.choice(self.chars)
            else:
                subject = f"{self.int_expr(2)} & 3"
            # at most 59 characters, and a line break in it counts two
            if len(subject) <= 57:
                return subject
        return f"{r.choice(self.ints)} & 3"

    def switch(self, indent, depth):
        r = self.r
        if r.random() < 0.3:
            # a plain name, as the case tests used to require
            subject = r.choice(self.targets(self.ints))
            self.emit(indent, f"{subject} = ({self.int_expr(2)} & 3);")
        else:
            subject = self.switch_subject()
        self.emit(indent, f"switch ({subject}) {{")
        self.loops.append("switch")
        values = sorted(r.sample(range(0, 6), r.randrange(1, 4)))
        for value in values:
            self.emit(indent + 1, f"case {value}:")
            self.block(indent + 2, depth - 1, r.randrange(1, 3))
            if r.random() < 0.8:
                self.emit(indent + 2, "break;")
        if r.random() < 0.8:
            # default takes the next case slot, so it comes last
            self.emit(indent + 1, "default:")
            self.block(indent + 2, depth - 1, 1)
        self.loops.pop()
        self.emit(indent, "}")

    def return_statement(self):
        """A return of the current function's type, in one of its spellings."""
        r = self.r
        ret = self.ret
        if ret == "void":
            return "return;"
        k = r.randrange(8)
        if self.chars and r.random() < 0.1:
            # a char value widened (or kept) to the function's size
            value = r.choice(self.chars)
        elif ret == "long":
            value = self.long_expr(2) if k < 4 else self.int_value_expr(2)
        elif ret == "char":
            value = self.int_value_expr(2) if k < 5 else self.long_expr(2)
        else:
            value = self.int_value_expr(2) if k < 6 else self.long_expr(2)
        if r.random() < 0.3:
            return f"return ({value});"
        return f"return {value};"

    # ---- whole program ----
    def declare_globals(self):
        r = self.r
        gints = [f"g{i}" for i in range(r.randrange(2, 5))]
        glongs = [f"big{i}" for i in range(r.randrange(0, 4))]
        gchars = [f"c{i}" for i in range(r.randrange(0, 3))]
        garrays = [f"arr{i}" for i in range(r.randrange(0, 3))]
        for kind, names, chance in (("int", gints, 0.6), ("long", glongs, 0.8), ("char", gchars, 0.6)):
            declarators = [f"{g} = {self.value_of(kind)}" if r.random() < chance else g for g in names]
            if declarators and r.random() < 0.3:
                # several declarators in one declaration
                self.emit(0, f"{kind} {', '.join(declarators)};")
            else:
                for d in declarators:
                    self.emit(0, f"{kind} {d};")
        for a in garrays:
            values = ", ".join(str(self.int_value()) for _ in range(r.randrange(0, 9)))
            self.emit(0, f"int {a}[8] = {{{values}}};" if values else f"int {a}[8];")
        if garrays:
            self.emit(0, "int *ptr;")
            self.pointer = "ptr"
        self.arrays = garrays
        if r.random() < 0.5:
            self.char_arrays = ["ca0"]
            values = ", ".join(str(self.char_value()) for _ in range(r.randrange(0, 9)))
            self.emit(0, f"char ca0[8] = {{{values}}};" if values else "char ca0[8];")
        if r.random() < 0.5:
            self.long_arrays = ["la0"]
            values = ", ".join(str(self.long_value()) for _ in range(r.randrange(0, 5)))
            self.emit(0, f"long la0[4] = {{{values}}};" if values else "long la0[4];")
        for i in range(r.randrange(0, 3)):
            name = f"str{i}"
            if r.random() < 0.5:
                text = self.text_literal(r.randrange(0, 8))
                self.emit(0, f'char {name}[8] = "{text}";')
                self.strings.append((name, 8, len(text)))
            else:
                text = self.text_literal(r.randrange(1, 11))
                self.emit(0, f'char {name}[] = "{text}";')
                self.strings.append((name, len(text) + 1, len(text)))
        if r.random() < 0.5:
            self.emit(0, "char *cs;")
            self.string_pointer = "cs"
        if r.random() < 0.3:
            # a nested list gives whole rows: a short row would not be padded
            self.matrix = "mx"
            if r.random() < 0.5:
                rows = ", ".join("{" + ", ".join(str(self.int_value()) for _ in range(4)) + "}"
                                 for _ in range(r.randrange(1, 3)))
                self.emit(0, f"int mx[2][4] = {{{rows}}};")
            else:
                values = ", ".join(str(self.int_value()) for _ in range(r.randrange(0, 9)))
                self.emit(0, f"int mx[2][4] = {{{values}}};" if values else "int mx[2][4];")
        if r.random() < 0.3:
            self.rows = "rows"
            texts = [self.text_literal(r.randrange(0, 6)) for _ in range(r.randrange(1, 3))]
            self.emit(0, f"char rows[2][6] = {{{', '.join(chr(34) + t + chr(34) for t in texts)}}};")
        if r.random() < 0.6:
            self.declare_struct()
        if r.random() < 0.4:
            self.declare_small_struct()
        self.declare_differences()
        return gints, glongs, gchars

    def declare_small_struct(self):
        """A structure of 1 to 9 bytes: the machine moves it as one value."""
        r = self.r
        kinds = r.choice([["char"], ["int"], ["char", "char"], ["char", "int"], ["int", "char"],
                          ["int", "int"], ["char", "char", "char"], ["int", "int", "char"]])
        members = [(f"u{'abc'[i]}", t) for i, t in enumerate(kinds)]
        self.small = {"members": members}
        self.emit(0, f"struct U {{ {' '.join(f'{t} {n};' for n, t in members)} }};")
        values = ", ".join(str(self.value_of(t)) for t in kinds) if r.random() < 0.6 else ""
        self.emit(0, f"struct U su0 = {{{values}}};" if values else "struct U su0;")
        count = r.randrange(0, len(kinds) * 4 + 1)
        values = ", ".join(str(self.value_of(kinds[i % len(kinds)])) for i in range(count))
        self.emit(0, f"struct U sua[4] = {{{values}}};" if values else "struct U sua[4];")

    def char_atom(self):
        """A value of one byte."""
        r = self.r
        k = r.randrange(6)
        if k == 0 and self.char_arrays:
            return f"{r.choice(self.char_arrays)}[{self.index(7)}]"
        if k == 1 and self.struct:
            m = self.member("char")
            if m:
                return m
        if k == 2 and self.small and any(t == "char" for _, t in self.small["members"]):
            name = r.choice([n for n, t in self.small["members"] if t == "char"])
            return f"{self.small_place()}.{name}"
        if k == 3 and self.strings:
            name, size, _ = r.choice(self.strings)
            return f"{name}[{self.index(3 if size >= 4 else 0)}]"
        return r.choice(self.chars)

    def char_expr(self, depth):
        """char op char is computed at one byte: its low byte is C's, so the
        value only goes where it is cut to one byte again."""
        r = self.r
        if depth <= 0 or r.random() < 0.3:
            return self.char_atom()
        k = r.randrange(6)
        if k < 4:
            return f"({self.char_expr(depth - 1)} {r.choice(ARITH)} {self.char_expr(depth - 1)})"
        if k < 5:
            return f"~{self.wrap(self.char_expr(depth - 1))}"
        # a quotient depends on every bit of its dividend: that is one value
        return f"({self.char_atom()} {r.choice(['/', '%'])} (({self.char_atom()} & 7) + 1))"

    def char_statement(self, indent, chars):
        r = self.r
        k = r.randrange(4)
        if k == 0:
            self.emit(indent, f"{r.choice(chars)} {r.choice(['+=', '-=', '*='])} {self.char_atom()};")
        elif k == 1:
            self.emit(indent, f"print_char({self.char_expr(2)});")
        else:
            places = [r.choice(chars)]
            if self.char_arrays:
                places.append(f"{r.choice(self.char_arrays)}[{self.index(7)}]")
            m = self.member("char")
            if m:
                places.append(m)
            self.emit(indent, f"{r.choice(places)} = {self.char_expr(3)};")

    def read_statement(self, indent):
        """Reads the program's input: the routines' side effects stand alone."""
        r = self.r
        routine = r.choice(["read_int", "read_char"])
        k = r.randrange(3)
        if k == 0:
            self.emit(indent, f"print_int({routine}());")
            self.emit(indent, "print_char(10);")
        elif k == 1 and self.targets(self.chars):
            self.emit(indent, f"{r.choice(self.targets(self.chars))} = {routine}();")
        else:
            self.emit(indent, f"{r.choice(self.targets(self.ints))} = {routine}();")

    def small_place(self):
        return self.r.choice(["su0", f"sua[{self.index(3)}]"])

    def small_statement(self, indent):
        r = self.r
        if r.random() < 0.4:
            self.emit(indent, f"{self.small_place()} = {self.small_place()};")
            return
        name, _ = r.choice(self.small["members"])
        value = self.int_value_expr(2) if r.random() < 0.5 else self.int_expr(2)
        self.emit(indent, f"{self.small_place()}.{name} = {value};")

    def declare_struct(self):
        r = self.r
        members = [("mt", "long"), ("ma", "int"), ("mc", "char")]
        if r.random() < 0.5:
            members.append(("mb", "int"))
        if r.random() < 0.5:
            members.append(("mv", "int4"))
        r.shuffle(members)
        self.struct = {"members": members}
        text = " ".join(f"int {n}[4];" if t == "int4" else f"{t} {n};" for n, t in members)
        # a list never reaches an array member: it would take one value there
        # and move the members after it
        before = []
        for n, t in members:
            if t == "int4":
                break
            before.append(t)
        flat = len(before) == len(members)
        self.emit(0, f"struct T {{ {text} }};")
        if r.random() < 0.7:
            self.struct_single = "st0"
            if before and r.random() < 0.7:
                values = ", ".join(str(self.value_of(t)) for t in before[:r.randrange(1, len(before) + 1)])
                self.emit(0, f"struct T st0 = {{{values}}};")
            else:
                self.emit(0, "struct T st0;")
        if r.random() < 0.8 or not self.struct_single:
            self.struct_array = "sta"
            count = len(members) * 4 if flat else len(before)
            if count and r.random() < 0.7:
                kinds = [before[i % len(before)] for i in range(r.randrange(1, count + 1))]
                self.emit(0, f"struct T sta[4] = {{{', '.join(str(self.value_of(t)) for t in kinds)}}};")
            else:
                self.emit(0, "struct T sta[4];")
        self.emit(0, "struct T *sp;")
        self.struct_pointer = "sp"

    def declare_differences(self):
        r = self.r
        arrays = []
        if self.arrays:
            arrays.append(("int", self.arrays[0], 8))
        if self.char_arrays:
            arrays.append(("char", self.char_arrays[0], 8))
        for name, size, _ in self.strings:
            if size >= 4:
                arrays.append(("char", name, 4))
                break
        if self.long_arrays:
            arrays.append(("long", self.long_arrays[0], 4))
        if self.struct_array:
            arrays.append(("struct T", self.struct_array, 4))
        if self.small:
            arrays.append(("struct U", "sua", 4))
        r.shuffle(arrays)
        for i, (kind, array, count) in enumerate(arrays[:r.randrange(0, 3)]):
            p, q = f"pd{i}", f"qd{i}"
            self.emit(0, f"{kind} *{p};")
            self.emit(0, f"{kind} *{q};")
            self.differences.append((p, q, array, count, kind))

    def program(self):
        r = self.r
        self.reads = r.random() < 0.4
        self.exits = r.random() < 0.25
        gints, glongs, gchars = self.declare_globals()
        for i in range(r.randrange(0, 5)):
            self.function(f"fn{i}", gints, glongs, gchars)
        self.main(gints, glongs, gchars)
        return "\n".join(self.split_lines(self.lines)) + "\n"

    def scope(self, ints, longs, chars, loops):
        self.ints, self.longs, self.chars = list(ints), list(longs), list(chars)
        self.loop_vars, self.busy = loops, set()
        self.loops = []

    def function(self, name, gints, glongs, gchars):
        r = self.r
        ret = r.choice(["int", "int", "long", "char", "void"])
        params = [r.choice(["int", "int", "long", "char"]) for _ in range(r.randrange(0, 4))]
        pnames = [f"p{i}" for i in range(len(params))]
        self.emit(0, f"{ret} {name}({', '.join(f'{t} {n}' for t, n in zip(params, pnames))}) {{")
        locs = [f"t{i}" for i in range(r.randrange(1, 3))]
        loops = ["k0", "k1"]
        for v in locs + loops:
            self.emit(1, f"int {v};")
        lv = "w0" if r.random() < 0.5 else None
        if lv:
            self.emit(1, f"long {lv};")
        # a local that is only read may keep its initialiser (it is set once)
        fixed = []
        if r.random() < 0.3:
            kind = r.choice(["int", "long", "char"])
            self.emit(1, f"{kind} q0 = {self.value_of(kind)};")
            fixed.append((kind, "q0"))
        ints = gints + locs + [n for t, n in zip(params, pnames) if t == "int"] + loops
        longs = glongs + ([lv] if lv else []) + [n for t, n in zip(params, pnames) if t == "long"]
        chars = gchars + [n for t, n in zip(params, pnames) if t == "char"]
        for kind, n in fixed:
            {"int": ints, "long": longs, "char": chars}[kind].append(n)
        self.readonly = {n for _, n in fixed}
        self.scope(ints, longs, chars, loops)
        self.ret = ret
        for v in locs + loops + ([lv] if lv else []):
            self.emit(1, f"{v} = {r.randrange(0, 10)};")
        self.block(1, 2, r.randrange(1, 5))
        if ret != "void" or r.random() < 0.5:
            self.emit(1, self.return_statement())
        self.emit(0, "}")
        self.ret = None
        self.readonly = set()
        self.funcs.append((name, ret, params))

    def main(self, gints, glongs, gchars):
        r = self.r
        self.emit(0, "void main() {")
        locs = ["v0", "v1"]
        loops = ["i", "j", "k"]
        # main runs once, so its initialisers mean what they do in C
        for v in locs:
            self.emit(1, f"int {v} = {self.int_value()};" if r.random() < 0.5 else f"int {v};")
        for v in loops:
            self.emit(1, f"int {v};")
        self.emit(1, f"long lv = {self.long_value()};")
        self.emit(1, f"char lc = {self.char_value()};")
        for v in locs + loops:
            if r.random() < 0.5 or v in loops:
                self.emit(1, f"{v} = {r.randrange(0, 10)};")
        if self.pointer:
            self.emit(1, f"ptr = {self.arrays[0]};")
        if self.string_pointer:
            self.emit(1, f'cs = "{self.text_literal(r.randrange(0, 6))}";')
        if self.struct_pointer:
            self.emit(1, f"sp = {self.struct_array};" if self.struct_array else "sp = &st0;")
        for p, q, array, _, _ in self.differences:
            self.emit(1, f"{p} = {array};")
            self.emit(1, f"{q} = {array};")
        self.scope(gints + locs + loops, glongs + ["lv"], gchars + ["lc"], loops)
        self.main_locals = locs + loops
        self.block(1, 3, r.randrange(4, 12))
        self.main_locals = []
        self.final_prints(gints + locs, glongs + ["lv"], gchars + ["lc"])
        if self.exits:
            self.emit(1, f"exit({self.int_expr(1)});")
        elif r.random() < 0.2:
            self.emit(1, "return;")
        self.emit(0, "}")

    def final_prints(self, ints, longs, chars):
        for g in ints + chars:
            self.emit(1, f"print_int({g});")
            self.emit(1, "print_char(10);")
        for g in longs:
            self.emit(1, f"print_long({g});")
            self.emit(1, "print_char(10);")
        for a, count, show in ([(a, 8, "print_int") for a in self.arrays]
                               + [(a, 8, "print_int") for a in self.char_arrays]
                               + [(a, 4, "print_long") for a in self.long_arrays]):
            self.emit(1, f"for (i = 0; i < {count}; i++) {{")
            self.emit(2, f"{show}({a}[i]);")
            self.emit(2, "print_char(32);")
            self.emit(1, "}")
            self.emit(1, "print_char(10);")
        for name, _, _ in self.strings:
            self.emit(1, f"print_string({name});")
            self.emit(1, "print_char(10);")
        if self.matrix:
            self.emit(1, "for (i = 0; i < 2; i++) {")
            self.emit(2, "for (j = 0; j < 4; j++) {")
            self.emit(3, f"print_int({self.matrix}[i][j]);")
            self.emit(3, "print_char(32);")
            self.emit(2, "}")
            self.emit(1, "}")
            self.emit(1, "print_char(10);")
        if self.small:
            for place in ["su0"] + [f"sua[{i}]" for i in range(4)]:
                for n, _ in self.small["members"]:
                    self.emit(1, f"print_int({place}.{n});")
                    self.emit(1, "print_char(32);")
            self.emit(1, "print_char(10);")
        if self.rows:
            self.emit(1, f"print_string({self.rows}[0]);")
            self.emit(1, "print_char(44);")
            self.emit(1, f"print_string({self.rows}[1]);")
            self.emit(1, "print_char(10);")
        if self.struct:
            places = ([(f"{self.struct_single}.", False)] if self.struct_single else []) + \
                     ([(f"{self.struct_array}[i].", True)] if self.struct_array else [])
            for place, inner in places:
                if inner:
                    self.emit(1, "for (i = 0; i < 4; i++) {")
                ind = 2 if inner else 1
                for n, t in self.struct["members"]:
                    if t == "int4":
                        self.emit(ind, "for (j = 0; j < 4; j++) {")
                        self.emit(ind + 1, f"print_int({place}{n}[j]);")
                        self.emit(ind + 1, "print_char(32);")
                        self.emit(ind, "}")
                    else:
                        show = "print_long" if t == "long" else "print_int"
                        self.emit(ind, f"{show}({place}{n});")
                        self.emit(ind, "print_char(32);")
                self.emit(ind, "print_char(10);")
                if inner:
                    self.emit(1, "}")

    # ---- layout ----
    SPLIT_AFTER = set(ARITH + COMPARE + ["/", "%", "<<", ">>", "&&", "||", "=", "+=", "-=", "*="])

    def split_lines(self, lines):
        """Breaks some statements, conditions and argument lists over two lines."""
        r = self.r
        out = []
        for line in lines:
            stripped = line.lstrip()
            if (r.random() < 0.12 and (line.endswith(";") or line.endswith("{"))
                    and not stripped.startswith(("case ", "default", "}", "goto ", "else", "int ",
                                                 "long ", "char ", "struct ", "void "))
                    and not line.startswith(("int ", "long ", "char ", "struct ", "void "))):
                points = self.split_points(line)
                if points:
                    at = r.choice(points)
                    indent = len(line) - len(stripped)
                    out.append(line[:at])
                    out.append(" " * (indent + 4) + line[at + 1:])
                    continue
            out.append(line)
        return out

    def split_points(self, line):
        points = []
        quoted = False
        for i, ch in enumerate(line):
            if ch == '"':
                quoted = not quoted
            if ch != " " or quoted or i == 0 or line[i - 1] == " ":
                continue
            before = line[:i].split(" ")[-1]
            after = line[i + 1:].split(" ")[0]
            if before.endswith(",") or before == "return" or before in self.SPLIT_AFTER or after in self.SPLIT_AFTER:
                points.append(i)
        return points


def generate(seed):
    return Gen(seed).program()


def program_input(seed):
    """The bytes the program of this seed reads: numbers with and without signs,
    some past 32 bits, among words, signs and bytes of every kind."""
    r = random.Random(f"input {seed}")
    parts = []
    for _ in range(r.randrange(0, 40)):
        k = r.randrange(10)
        if k < 4:
            parts.append(r.choice(["", "", "-", "+"]) + str(r.randrange(0, 10 ** r.randrange(1, 21))))
        elif k < 6:
            parts.append("".join(r.choice(string.ascii_letters) for _ in range(r.randrange(1, 6))))
        elif k < 7:
            parts.append(r.choice(["-", "+", "--7", "+-3", "-+4", "- 5", "0x1F", "007", "12ab34"]))
        elif k < 8:
            parts.append(bytes(r.randrange(0, 256) for _ in range(r.randrange(1, 4))).decode("latin-1"))
        else:
            parts.append(r.choice([" ", "\n", "\t", ",", "  "]))
        parts.append(r.choice([" ", "\n", ""]))
    return "".join(parts).encode("latin-1")


if __name__ == "__main__":
    sys.stdout.write(generate(int(sys.argv[1]) if len(sys.argv) > 1 else 0))
