#!/usr/bin/env python3
"""Writes random programs of the stackcc language that also mean the same in C.

Each program computes with int, long and char globals, locals, parameters and
arrays, through loops, branches, switches and calls, and prints its results
with print_int, print_long and print_char. It stays inside the rules where the
language differs from C: conditions and returned values in parentheses, braces
on every block, no else-if, no recursion, no ?:, no ++x, x++ only as a
statement, one statement per line, locals assigned before they are read (they
are static), no side effects in arguments, char values only combined with
wider operands (no integer promotion: char op char is computed at one byte),
no shift of a long (a shift's result is 4 bytes), a returned value of exactly
the function's type, no negative literals (a minus joins the next name), no
long initialisers, divisors from 1 to 16 (so no division by zero and no
overflowing division), shift counts from 0 to 15.

Usage: gen_programs.py SEED  -> prints the program for that seed.
"""
import random
import sys


class Gen:
    def __init__(self, seed):
        self.r = random.Random(seed)
        self.lines = []
        self.ints = []     # names readable as int in the current scope
        self.longs = []
        self.chars = []
        self.arrays = []   # int arrays of 8
        self.funcs = []    # (name, return type, [param types])
        self.loop_vars = []
        self.busy = set()  # loop variables in use
        self.pointer = None  # an int pointer into one of the arrays

    # ---- expressions ----
    def int_atom(self):
        r = self.r
        k = r.randrange(10)
        if k < 3 or not self.ints:
            return str(r.randrange(0, 1000) if r.random() < 0.8 else r.randrange(0, 2000000000))
        if k < 6:
            return r.choice(self.ints)
        if k < 7 and self.chars:
            c = r.choice(self.chars)
            return f"(int){c}" if r.random() < 0.5 else f"({c} + {r.randrange(0, 50)})"
        if k < 8 and self.arrays:
            if self.pointer and r.random() < 0.3:
                return f"*{self.pointer}"
            return f"{r.choice(self.arrays)}[{self.int_expr(1)} & 7]"
        if k < 9 and self.longs:
            return f"(int){r.choice(self.longs)}"
        return r.choice(self.ints)

    def int_expr(self, depth):
        r = self.r
        if depth <= 0 or r.random() < 0.3:
            return self.int_atom()
        k = r.randrange(12)
        a = self.int_expr(depth - 1)
        b = self.int_expr(depth - 1)
        if k < 4:
            return f"({a} {r.choice(['+', '-', '*', '&', '|', '^'])} {b})"
        if k < 6:
            return f"({a} {r.choice(['<', '<=', '>', '>=', '==', '!='])} {b})"
        if k < 7:
            return f"({a} {r.choice(['/', '%'])} (({b} & 15) + 1))"
        if k < 8:
            return f"({a} {r.choice(['<<', '>>'])} ({b} & 15))"
        if k < 9:
            return f"({a} {r.choice(['&&', '||'])} {b})"
        if k < 10:
            return f"{r.choice(['!', '~'])}{a if a.startswith('(') else '(' + a + ')'}"
        if k < 11 and self.longs:
            return f"({self.long_expr(depth - 1)} {r.choice(['<', '>=', '==', '!='])} {self.long_expr(depth - 1)})"
        return f"({a} - {b})"

    def long_atom(self):
        r = self.r
        if self.longs and r.random() < 0.6:
            return r.choice(self.longs)
        return f"(long){self.int_atom()}"

    def long_expr(self, depth):
        r = self.r
        if depth <= 0 or r.random() < 0.3:
            return self.long_atom()
        a = self.long_expr(depth - 1)
        k = r.randrange(6)
        if k < 3:
            return f"({a} {r.choice(['+', '-', '*', '&', '|', '^'])} {self.long_expr(depth - 1)})"
        if k < 4:
            return f"({a} {r.choice(['+', '-', '*'])} {self.int_expr(depth - 1)})"
        if k < 5:
            return f"({a} {r.choice(['/', '%'])} (long)(({self.int_expr(depth - 1)} & 15) + 1))"
        return f"({a} * (long)({self.int_expr(depth - 1)}))"

    # ---- statements ----
    def emit(self, indent, text):
        self.lines.append("  " * indent + text)

    def assign(self, indent):
        r = self.r
        k = r.randrange(10)
        if k < 5 or not (self.longs or self.chars or self.arrays):
            self.emit(indent, f"{r.choice(self.ints)} = {self.int_expr(3)};")
        elif k < 7 and self.longs:
            self.emit(indent, f"{r.choice(self.longs)} = {self.long_expr(3)};")
        elif k < 8 and self.chars:
            self.emit(indent, f"{r.choice(self.chars)} = {self.int_expr(2)};")
        elif k < 9 and self.arrays and self.pointer:
            self.pointer_statement(indent)
        elif self.arrays:
            self.emit(indent, f"{r.choice(self.arrays)}[{self.int_expr(1)} & 7] = {self.int_expr(2)};")
        else:
            self.emit(indent, f"{r.choice(self.ints)} = {self.int_expr(3)};")

    def pointer_statement(self, indent):
        r = self.r
        p = self.pointer
        k = r.randrange(4)
        if k == 0:
            self.emit(indent, f"{p} = {r.choice(self.arrays)};")
        elif k == 1:
            self.emit(indent, f"{p} = &{r.choice(self.arrays)}[{self.int_expr(1)} & 7];")
        elif k == 2:
            self.emit(indent, f"*{p} = {self.int_expr(2)};")
        else:
            self.emit(indent, f"{r.choice(self.ints)} {r.choice(['+=', '-=', '*='])} *{p};")

    def compound(self, indent):
        r = self.r
        self.emit(indent, f"{r.choice(self.ints)} {r.choice(['+=', '-=', '*='])} {self.int_expr(2)};")

    def call(self, indent):
        name, ret, params = self.r.choice(self.funcs)
        args = []
        for p in params:
            args.append(self.long_expr(2) if p == "long" else self.int_expr(2))
        target = self.r.choice(self.longs if ret == "long" and self.longs else self.ints)
        self.emit(indent, f"{target} = {name}({', '.join(args)});")

    def printing(self, indent):
        r = self.r
        if self.longs and r.random() < 0.3:
            self.emit(indent, f"print_long({self.long_expr(2)});")
        else:
            self.emit(indent, f"print_int({self.int_expr(3)});")
        self.emit(indent, "print_char(10);")

    def free_loop_var(self):
        for v in self.loop_vars:
            if v not in self.busy:
                return v
        return None

    def block(self, indent, depth, count):
        for _ in range(count):
            self.statement(indent, depth)

    def statement(self, indent, depth):
        r = self.r
        k = r.randrange(20)
        if depth > 0 and k < 3:
            self.if_statement(indent, depth)
        elif depth > 0 and k < 5 and self.free_loop_var():
            self.loop(indent, depth)
        elif depth > 0 and k < 6:
            self.switch(indent, depth)
        elif k < 8 and self.funcs:
            self.call(indent)
        elif k < 10:
            self.printing(indent)
        elif k < 11:
            self.compound(indent)
        else:
            self.assign(indent)

    def if_statement(self, indent, depth):
        self.emit(indent, f"if ({self.int_expr(3)}) {{")
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
        kind = r.randrange(3)
        if kind == 0:
            self.emit(indent, f"for ({v} = 0; {v} < {bound}; {v}++) {{")
            self.loop_body(indent, depth, v)
            self.emit(indent, "}")
        elif kind == 1:
            self.emit(indent, f"{v} = 0;")
            self.emit(indent, f"while ({v} < {bound}) {{")
            self.loop_body(indent, depth, v)
            self.emit(indent + 1, f"{v}++;")
            self.emit(indent, "}")
        else:
            self.emit(indent, f"{v} = 0;")
            self.emit(indent, "do {")
            self.loop_body(indent, depth, v)
            self.emit(indent + 1, f"{v}++;")
            self.emit(indent, f"}} while ({v} < {bound});")
        self.ints.append(v)
        self.busy.discard(v)

    def loop_body(self, indent, depth, v):
        self.ints.append(v)
        readers = list(self.ints)
        self.ints.remove(v)
        body_start = len(self.lines)
        self.block(indent + 1, depth - 1, self.r.randrange(1, 4))
        # the loop variable may be read in the body but never written
        if self.r.random() < 0.5:
            target = self.r.choice([t for t in readers if t != v] or ["g0"])
            self.emit(indent + 1, f"{target} = ({target} + {v});")
        del body_start

    def switch(self, indent, depth):
        r = self.r
        # the case test is the subject's text joined to "==value", so the
        # subject is a plain name
        subject = r.choice(self.ints)
        self.emit(indent, f"{subject} = ({self.int_expr(2)} & 3);")
        self.emit(indent, f"switch ({subject}) {{")
        for value in range(r.randrange(1, 4)):
            self.emit(indent + 1, f"case {value}:")
            self.block(indent + 2, depth - 1, r.randrange(1, 3))
            if r.random() < 0.8:
                self.emit(indent + 2, "break;")
        self.emit(indent + 1, "default:")
        self.block(indent + 2, depth - 1, 1)
        self.emit(indent, "}")

    @staticmethod
    def paren(e):
        return e if e.startswith("(") and e.endswith(")") and e.count("(") == 1 or e.isidentifier() else f"({e})"

    # ---- whole program ----
    def program(self):
        r = self.r
        gints = [f"g{i}" for i in range(r.randrange(2, 5))]
        glongs = [f"big{i}" for i in range(r.randrange(0, 3))]
        gchars = [f"c{i}" for i in range(r.randrange(0, 3))]
        garrays = [f"arr{i}" for i in range(r.randrange(0, 3))]
        for g in gints:
            init = f" = {r.randrange(0, 100000)}" if r.random() < 0.5 else ""
            self.emit(0, f"int {g}{init};")
        for g in glongs:
            self.emit(0, f"long {g};")
        for g in gchars:
            init = f" = {r.randrange(0, 100)}" if r.random() < 0.5 else ""
            self.emit(0, f"char {g}{init};")
        for a in garrays:
            values = ", ".join(str(r.randrange(0, 1000)) for _ in range(r.randrange(0, 9)))
            self.emit(0, f"int {a}[8] = {{{values}}};" if values else f"int {a}[8];")
        if garrays:
            self.emit(0, "int *ptr;")
            self.pointer = "ptr"
            self.pointer_init = f"ptr = {garrays[0]};"
        for i in range(r.randrange(0, 4)):
            self.function(f"fn{i}", gints, glongs, gchars, garrays)
        self.main(gints, glongs, gchars, garrays)
        return "\n".join(self.lines) + "\n"

    def scope(self, ints, longs, chars, arrays, loops):
        self.ints, self.longs, self.chars, self.arrays = list(ints), list(longs), list(chars), list(arrays)
        self.loop_vars, self.busy = loops, set()

    def function(self, name, gints, glongs, gchars, garrays):
        r = self.r
        ret = r.choice(["int", "int", "long", "char"])
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
        ints = gints + locs + [n for t, n in zip(params, pnames) if t == "int"] + loops
        longs = glongs + ([lv] if lv else []) + [n for t, n in zip(params, pnames) if t == "long"]
        chars = gchars + [n for t, n in zip(params, pnames) if t == "char"]
        self.scope(ints, longs, chars, garrays, loops)
        for v in locs + loops + ([lv] if lv else []):
            self.emit(1, f"{v} = {r.randrange(0, 10)};")
        self.block(1, 2, r.randrange(1, 5))
        # a comparison of longs is 8 bytes wide: the cast keeps the value at the function's type
        value = {"int": "(int)" + self.paren(self.int_expr(2)), "long": self.long_expr(2),
                 "char": "(char)" + self.paren(self.int_atom())}[ret]
        self.emit(1, f"return ({value});")
        self.emit(0, "}")
        self.funcs.append((name, ret, params))

    def main(self, gints, glongs, gchars, garrays):
        r = self.r
        self.emit(0, "void main() {")
        locs = ["v0", "v1"]
        loops = ["i", "j", "k"]
        for v in locs + loops:
            self.emit(1, f"int {v};")
        self.emit(1, "long lv;")
        for v in locs + loops + ["lv"]:
            self.emit(1, f"{v} = {r.randrange(0, 10)};")
        if self.pointer:
            self.emit(1, self.pointer_init)
        self.scope(gints + locs + loops, glongs + ["lv"], gchars, garrays, loops)
        self.block(1, 3, r.randrange(4, 12))
        for g in gints + locs + gchars:
            self.emit(1, f"print_int({g});")
            self.emit(1, "print_char(10);")
        for g in glongs + ["lv"]:
            self.emit(1, f"print_long({g});")
            self.emit(1, "print_char(10);")
        for a in garrays:
            self.emit(1, f"for (i = 0; i < 8; i++) {{")
            self.emit(2, f"print_int({a}[i]);")
            self.emit(2, "print_char(32);")
            self.emit(1, "}")
            self.emit(1, "print_char(10);")
        self.emit(0, "}")


def generate(seed):
    return Gen(seed).program()


if __name__ == "__main__":
    sys.stdout.write(generate(int(sys.argv[1]) if len(sys.argv) > 1 else 0))
