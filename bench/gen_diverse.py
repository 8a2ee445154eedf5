#!/usr/bin/env python3
"""Generates a controller program whose statements differ from one another, as
those of a program written by hand do: names drawn from what is in scope
(globals, parameters, locals, structure members, arrays, pointers), expression
trees of depth 1 to 5 over every operator of the language, varied constants,
calls with 0 to 4 arguments, every statement kind nested, functions of varied
length and declarations spread through the file.

The text is valid C as well. Beside OUT.c it writes Sys10.c (the structures
that parameters point to, a few system variables and functions, and the
prototypes of every function) and c_compat.h, which a C compiler is given with
`-include c_compat.h`: it defines the language's `fixed`, `public` and `NULL`
away and includes Sys10.c. Programs of more than PART_LINES lines are split
into several files that OUT.c includes one after the other.

The program stays inside the compiler's tables: fewer than 4999 symbols (each
function, global, structure member, parameter and local is one), 1000
structure members and 1000 arrays, expressions of at most about 400
characters, switch subjects of at most 59.

Usage: gen_diverse.py LINES OUT.c [--seed S]
"""
import argparse
import os
import random
import re

PART_LINES = 25000
SYMBOL_BUDGET = 4850  # the table holds 4999
ARRAY_BUDGET = 950  # the dimension table holds 1000
MAX_EXPR_CHARS = 400

WORDS = ("level pump valve count total index speed limit mask flag state mode temp press "
         "timer delay step offset scale gain error sum avg peak low high rate head tail size "
         "cursor port chan bit ack retry seq load duty phase zone fan heat cool door lamp key "
         "row col cell slot frame word byte crc sample filter alarm motor relay input output "
         "target ramp hold drift trim bias span ticks width depth volume flow stage batch "
         "cycle debounce edge pulse tone beep valid ready busy idle last first prev next "
         "base top bottom left right inner outer main aux spare tank line wire node link").split()
VERBS = ("read write update check reset start stop scan compute apply clear set get push pop "
         "load store find count shift mix fold scale clamp filter sample poll wait send take "
         "move turn pick sort merge split test probe adjust track drive feed drain fill").split()
LOCAL_NAMES = ("i j k n m t x y v w acc tmp idx val len pos cur res lim cnt sum avg lo hi "
               "mid diff delta bits word byte code mark seen hits left rest part bias span "
               "gap steps round total ratio sign fill edge peak").split()
MEMBER_NAMES = ("value count flags state mode total data buf len id level limit min max "
                "head tail next prev link owner chan port addr gain bias errors hits "
                "stamp period duty phase samples history sum code kind speed pos").split()
TAGS = ("Sensor Channel Motor Frame Queue Timer Config Packet Valve Pump Zone Relay "
        "Sample Filter Buffer Alarm Stage Batch Profile Cell Link Event Port").split()
LABELS = "done fail again retry out skip finish bail restart recover cleanup next_round".split()
STRINGS = ("ready", "fault", "ok", "pump on", "valve shut", "over limit", "reset done",
           "idle", "low level", "check sensor", "err", "cal", "wait", "go")
KEYWORDS = ("if else while do for switch case default break continue return goto int char "
            "long void struct sizeof extern fixed public auto register static const "
            "volatile unsigned signed short float double union enum typedef inline "
            "restrict main").split()
KEYWORD_START = re.compile(r"^(%s)(_|$)" % "|".join(KEYWORDS))

SCALARS = ("int", "char", "long")
SIZE = {"int": 4, "char": 1, "long": 8}

# C precedence of the binary operators (the language uses the same order).
PREC = {"*": 90, "/": 90, "%": 90, "+": 85, "-": 85, "<<": 80, ">>": 80,
        "<": 75, "<=": 75, ">": 75, ">=": 75, "==": 70, "!=": 70, "&": 65, "^": 60,
        "|": 55, "&&": 50, "||": 45}
ARITH_OPS = ["+", "-", "*", "+", "-", "&", "|", "^", "<<", ">>", "/", "%", "*", "+"]
REL_OPS = ["<", "<=", ">", ">=", "==", "!="]


# Types: a scalar is "int", "char" or "long"; ("struct", tag); ("ptr", target)
# with target a scalar or a struct type; ("arr", element, dims).
def is_ptr(t):
    return isinstance(t, tuple) and t[0] == "ptr"


def is_arr(t):
    return isinstance(t, tuple) and t[0] == "arr"


def is_struct(t):
    return isinstance(t, tuple) and t[0] == "struct"


def type_text(t):
    """The declaration's type word and star for a non-array type."""
    if t in SCALARS:
        return t, ""
    if is_struct(t):
        return "struct " + t[1], ""
    inner, _ = type_text(t[1])
    return inner, "*"


class E:
    """A piece of expression text with the precedence of its top operator;
    `neg` marks a negative number, which may only follow a binary operator,
    `(`, `[` or `,`."""
    __slots__ = ("text", "prec", "neg")

    def __init__(self, text, prec=100, neg=False):
        self.text, self.prec, self.neg = text, prec, neg


def binary(op, left, right):
    p = PREC[op]
    # NULL right before `&` or `*` would be read as standing before a prefix
    # operator, so a comparison that ends in NULL is grouped.
    lt = left.text if left.prec >= p and not left.text.endswith("NULL") else "(" + left.text + ")"
    rt = right.text if right.prec > p else "(" + right.text + ")"
    return E(f"{lt} {op} {rt}", p)


def prefix(op, operand):
    """`!`, `~`, `*`, `&`, a cast or sizeof before an operand."""
    cast = op.startswith("(")
    if operand.prec < 95 or operand.neg or (cast and ("." in operand.text or "->" in operand.text)):
        return E(f"{op}({operand.text})", 95)
    return E(op + operand.text, 95)


class Var:
    __slots__ = ("name", "type")

    def __init__(self, name, typ):
        self.name, self.type = name, typ


class Scope:
    """Variables by what they can give: scalars, arrays, structures,
    pointers by target."""

    def __init__(self):
        self.scalars, self.ints, self.arrays, self.structs = [], [], [], []
        self.ptrs = {}  # target key -> [Var]
        self.arrs_of = {}  # element key (1-dimensional arrays) -> [Var]

    def add(self, v):
        t = v.type
        if t in SCALARS:
            self.scalars.append(v)
            if t != "long":
                self.ints.append(v)
        elif is_ptr(t):
            self.ptrs.setdefault(t[1], []).append(v)
        elif is_struct(t):
            self.structs.append(v)
        else:
            self.arrays.append(v)
            if is_struct(t[1]):
                self.structs.append(v)
            if len(t[2]) == 1:
                self.arrs_of.setdefault(t[1], []).append(v)


class Program:
    def __init__(self, lines, seed):
        self.r = random.Random(seed)
        self.used_names = set()
        self.structs = {}  # tag -> [(member, type)]
        self.sys_tags = []
        self.prog_tags = []
        self.defines = []  # (name, value text, numeric value, plain decimal)
        self.globals = Scope()
        self.global_list = []
        self.functions = []  # (name, return type, [(param, type)], public)
        self.symbols = 0
        self.arrays = 0

    # ---- names -------------------------------------------------------------
    def fresh(self, make, taken=None, limit=24):
        for _ in range(200):
            name = make()
            if (len(name) <= limit and name not in self.used_names and
                    (taken is None or name not in taken) and not KEYWORD_START.match(name)
                    and "NULL" not in name and not name.startswith("else")):
                return name
        n = len(self.used_names)
        return f"v{n}"

    def global_name(self, suffix=""):
        r = self.r
        name = self.fresh(lambda: (r.choice(WORDS) + "_" + r.choice(WORDS) + suffix
                                   if r.random() < 0.75 else
                                   "g_" + r.choice(WORDS) + suffix +
                                   (str(r.randint(1, 9)) if r.random() < 0.3 else "")))
        self.used_names.add(name)
        return name

    def define_name(self):
        r = self.r
        name = self.fresh(lambda: (r.choice(WORDS) + "_" + r.choice(WORDS)).upper())
        self.used_names.add(name)
        return name

    # ---- declarations --------------------------------------------------------
    def add_define(self):
        r = self.r
        name = self.define_name()
        k = r.random()
        if k < 0.55:
            v = r.choice([r.randint(0, 20), r.randint(10, 250), r.randint(100, 5000)])
            self.defines.append((name, str(v), v, True))
        elif k < 0.8:
            v = r.choice([0xF, 0xFF, 0x3F, 0x7F, 0x80, 0x100, 0xFF00, r.randint(1, 0xFFF)])
            self.defines.append((name, hex(v).upper().replace("0X", "0x"), v, False))
        else:
            a, b = r.randint(1, 8), r.randint(2, 16)
            if r.random() < 0.5:
                self.defines.append((name, f"({a} * {b})", a * b, False))
            else:
                self.defines.append((name, f"(1 << {a})", 1 << a, False))
        d = self.defines[-1]
        return f"#define {d[0]} {d[1]}"

    def new_struct(self, sys=False):
        r = self.r
        tag = self.fresh(lambda: r.choice(TAGS) + (r.choice(["", "Info", "State", "Rec"])
                                                  if r.random() < 0.5 else ""))
        self.used_names.add(tag)
        members = []
        taken = set()
        known = self.sys_tags + self.prog_tags
        for _ in range(r.randint(3, 8)):
            m = self.fresh(lambda: r.choice(MEMBER_NAMES), taken, 20)
            taken.add(m)
            k = r.random()
            if k < 0.45:
                t = r.choice(["int", "int", "char", "long"])
            elif k < 0.62:
                t = ("arr", r.choice(["int", "char", "int"]), [r.choice([4, 8, 16, 6, 3])])
            elif k < 0.67:
                t = ("arr", "int", [r.choice([2, 3]), r.choice([3, 4])])
            elif k < 0.77:
                t = ("ptr", r.choice(["int", "char", "long"]))
            elif k < 0.87:
                t = ("ptr", ("struct", tag))
            elif known:
                t = ("struct", r.choice(known)) if r.random() < 0.5 else ("ptr", ("struct", r.choice(known)))
            else:
                t = "int"
            if is_arr(t):
                self.arrays += 1
            members.append((m, t))
        if all(not (mt in SCALARS) for _, mt in members):
            members.insert(0, (self.fresh(lambda: r.choice(MEMBER_NAMES), taken, 20), "int"))
        self.structs[tag] = members
        self.symbols += len(members) + 1
        (self.sys_tags if sys else self.prog_tags).append(tag)
        lines = [f"struct {tag} {{"]
        for m, t in members:
            lines.append("  " + self.declarator_text(m, t) + ";")
        return tag, lines

    def declarator_text(self, name, t, init=None):
        if is_arr(t):
            word, star = type_text(t[1])
            dims = "".join(f"[{d}]" for d in t[2])
            if init == "[]":
                dims, init = "[]", None
            text = f"{word} {star}{name}{dims}"
        else:
            word, star = type_text(t)
            text = f"{word} {star}{name}"
        return text + (f" = {init}" if init else "")

    def global_decl(self):
        """One global declaration line; returns (line, [Var])."""
        r = self.r
        k = r.random()
        tags = self.sys_tags + self.prog_tags
        attr = ""
        if r.random() < 0.06:
            attr = "public "
        elif r.random() < 0.04:
            attr = "fixed "
        if k < 0.25:  # scalars, some with initialisers, sometimes several per line
            t = r.choice(["int", "int", "int", "char", "long"])
            names, parts = [], []
            for _ in range(1 if r.random() < 0.7 else r.randint(2, 4)):
                n = self.global_name()
                names.append(n)
                if r.random() < 0.3:
                    parts.append(f"{n} = {r.choice([0, 1, r.randint(2, 100), r.randint(100, 70000) if t != 'char' else 65])}")
                else:
                    parts.append(n)
            return f"{attr}{t} {', '.join(parts)};", [Var(n, t) for n in names]
        if k < 0.37:  # pointers
            target = r.choice(["int", "int", "char", "long"] + [("struct", x) for x in tags[-4:]])
            n = self.global_name(r.choice(["", "_ptr", "_p"]))
            return f"{attr}{self.declarator_text(n, ('ptr', target))};", [Var(n, ("ptr", target))]
        if k < 0.62:  # arrays, some initialised
            if self.arrays >= ARRAY_BUDGET:
                return self.global_decl_scalar()
            self.arrays += 1
            elem = r.choice(["int", "int", "char", "char", "long", ("ptr", "int"), ("ptr", "char")])
            n = self.global_name(r.choice(["", "_tab", "_buf", "s", "_log"]))
            nd = r.choice([1, 1, 1, 1, 2, 2, 3]) if not is_ptr(elem) else 1
            if nd == 1:
                dims = [r.choice([4, 8, 10, 16, 20, 32, 64, 100, 128, 256])]
            elif nd == 2:
                dims = [r.choice([2, 3, 4, 8]), r.choice([3, 4, 6, 8, 16])]
            else:
                dims = [r.choice([2, 3]), r.choice([2, 4]), r.choice([3, 4, 8])]
            dim_text = None
            plain = [d for d in self.defines if d[3] and 2 <= d[2] <= 64]
            if nd == 1 and plain and r.random() < 0.3:
                d = r.choice(plain)
                dims = [d[2]]
                dim_text = f"[{d[0]}]"
            elif nd == 1 and r.random() < 0.08:
                a = r.choice([2, 4])
                dims = [a * 8]
                dim_text = f"[{a}*8]"
            t = ("arr", elem, dims)
            init = None
            if not is_ptr(elem) and r.random() < 0.35:
                if elem == "char" and nd == 1 and r.random() < 0.6:
                    s = r.choice(STRINGS)
                    if r.random() < 0.5:
                        init = "[]"
                        t = ("arr", "char", [len(s) + 1])
                        line = f"{attr}char {n}[] = \"{s}\";"
                        return line, [Var(n, t)]
                    dims = [max(dims[0], len(s) + 1)]
                    t = ("arr", "char", dims)
                    dim_text = None
                    init = f'"{s}"'
                elif nd == 1:
                    top = 255 if elem == "char" else 9999
                    vals = [str(r.randint(0, top)) for _ in range(r.randint(1, min(dims[0], 12)))]
                    init = "{" + ", ".join(vals) + "}"
                elif nd == 2:
                    top = 255 if elem == "char" else 999
                    rows = ["{" + ", ".join(str(r.randint(0, top)) for _ in range(r.randint(1, dims[1]))) + "}"
                            for _ in range(r.randint(1, dims[0]))]
                    init = "{" + ", ".join(rows) + "}"
            word, star = type_text(elem)
            dims_written = dim_text or "".join(f"[{d}]" for d in dims)
            line = f"{attr}{word} {star}{n}{dims_written}" + (f" = {init}" if init else "") + ";"
            return line, [Var(n, t)]
        if k < 0.85 and tags:  # structures and arrays of structures
            tag = r.choice(tags)
            n = self.global_name(r.choice(["", "_rec", "_info", "s"]))
            if r.random() < 0.35 and self.arrays < ARRAY_BUDGET:
                self.arrays += 1
                t = ("arr", ("struct", tag), [r.choice([2, 3, 4, 8, 16])])
                return f"{attr}struct {tag} {n}[{t[2][0]}];", [Var(n, t)]
            t = ("struct", tag)
            members = self.structs[tag]
            lead = 0
            while lead < len(members) and members[lead][1] in SCALARS:
                lead += 1
            if lead and r.random() < 0.3:
                vals = [str(r.randint(0, 200)) for _ in range(r.randint(1, lead))]
                return f"{attr}struct {tag} {n} = {{{', '.join(vals)}}};", [Var(n, t)]
            return f"{attr}struct {tag} {n};", [Var(n, t)]
        return self.global_decl_scalar()

    def global_decl_scalar(self):
        n = self.global_name()
        t = self.r.choice(SCALARS)
        return f"{t} {n};", [Var(n, t)]

    def declare_globals(self, count):
        lines = []
        while count > 0:
            line, vs = self.global_decl()
            lines.append(line)
            for v in vs:
                self.globals.add(v)
                self.global_list.append(v)
                self.symbols += 1
                count -= 1
        return lines

    # ---- functions -------------------------------------------------------------
    def plan_functions(self, count):
        r = self.r
        names = set()
        for _ in range(count):
            name = self.fresh(lambda: r.choice(VERBS) + "_" + r.choice(WORDS) +
                              ("_" + r.choice(WORDS) if r.random() < 0.4 else ""), names, 28)
            names.add(name)
            self.used_names.add(name)
            ret = r.choice(["int"] * 11 + ["void"] * 5 + ["long"] * 2 + ["char"] * 2)
            params = []
            taken = set()
            for _ in range(r.choice([0, 1, 1, 2, 2, 2, 3, 3, 4])):
                pn = self.fresh(lambda: r.choice(LOCAL_NAMES + WORDS), taken, 14)
                taken.add(pn)
                k = r.random()
                if k < 0.5:
                    pt = "int"
                elif k < 0.6:
                    pt = "char"
                elif k < 0.72:
                    pt = "long"
                elif k < 0.82:
                    pt = ("ptr", "int")
                elif k < 0.92:
                    pt = ("ptr", "char")
                elif k < 0.95:
                    pt = ("ptr", "long")
                else:
                    pt = ("ptr", ("struct", r.choice(self.sys_tags)))
                params.append((pn, pt))
            self.functions.append((name, ret, params, r.random() < 0.08))
            self.symbols += 1 + len(params)

    def prototype(self, fn):
        name, ret, params, _ = fn
        ps = ", ".join(self.declarator_text(p, t) for p, t in params)
        return f"{ret} {name}({ps});"


class Func:
    """Generates one function body."""

    def __init__(self, prog, fn, lines, n_locals):
        self.p = prog
        self.r = prog.r
        self.fn = fn
        self.budget = lines
        self.scope = Scope()
        self.local_list = []
        self.names = set(p for p, _ in fn[2])
        for p, t in fn[2]:
            self.scope.add(Var(p, t))
        self.n_locals = n_locals
        self.labels = []
        self.labels_placed = set()
        self.loop = 0
        self.switch = 0

    # ---- picking names ----------------------------------------------------------
    def pick(self, local_list, global_list, local_weight=0.65):
        r = self.r
        if local_list and (not global_list or r.random() < local_weight):
            return r.choice(local_list)
        if global_list:
            return r.choice(global_list)
        return None

    def int_var(self):
        v = self.pick(self.scope.ints, self.p.globals.ints, 0.8)
        return v.name if v else None

    def operand_index(self, n):
        """An index to add to a pointer: parenthesised when it is not one
        word."""
        t = self.index(n)
        return t if " " not in t else "(" + t + ")"

    def index(self, n):
        r = self.r
        k = r.random()
        v = self.int_var()
        if k < 0.4 or v is None:
            return str(r.randrange(n))
        if k < 0.75:
            return v
        if k < 0.9:
            return f"{v} & {n - 1}" if n & (n - 1) == 0 else f"{v} % {n}"
        return f"{v} + {r.randrange(1, 3)}"

    def number(self):
        r = self.r
        k = r.random()
        if k < 0.35:
            return E(str(r.randint(0, 9)))
        if k < 0.55:
            return E(str(r.randint(10, 255)))
        if k < 0.63:
            return E(str(r.randint(256, 100000)))
        if k < 0.73:
            return E(r.choice(["0x", "0x", "0X"]) + format(r.choice([0xF, 0xFF, 0x7F, 0x3F, 0x10, 0x8000,
                                                                     r.randint(1, 0xFFFF)]), "X"))
        if k < 0.76:
            return E("0" + oct(r.randint(1, 63))[2:])
        if k < 0.82:
            return E("'" + r.choice("AZaz09xyQ") + "'")
        if k < 0.9 and self.p.defines:
            return E(r.choice(self.p.defines)[0])
        return E("-" + str(r.randint(1, 300)), neg=True)

    @staticmethod
    def member_run(text):
        """Member operators since the last subscript: the compiler takes a
        subscript after at most one (`s.a[i]`, `v[i].t.x`, `s.p[i].a[j]`,
        but not `s.t.a[i]`)."""
        seg = text[text.rfind("]") + 1:]
        return seg.count(".") + seg.count("->")

    def reach(self, text, t, budget=3):
        """From a designator of type t, a scalar lvalue: (E, scalar type)."""
        r = self.r
        if t in SCALARS:
            return E(text), t
        if is_arr(t):
            text = text + "".join(f"[{self.index(d)}]" for d in t[2])
            return self.reach(text, t[1], budget - 1)
        if is_struct(t):
            members = self.members(t[1], text, budget)
            m, mt = r.choice(members)
            return self.reach(f"{text}.{m}", mt, budget - 1)
        target = t[1]  # a pointer
        if is_struct(target):
            members = self.members(target[1], text, budget)
            m, mt = r.choice(members)
            if r.random() < 0.1 and text.isidentifier():
                return self.reach(f"{text}[{self.index(4)}].{m}", mt, budget - 1)
            return self.reach(f"{text}->{m}", mt, budget - 1)
        k = r.random()
        if k < 0.5 or self.member_run(text) >= 2:
            return E("*" + text, 95), target
        if k < 0.85:
            return E(f"{text}[{self.index(8)}]"), target
        return E(f"*({text} + {r.randint(1, 7)})", 95), target

    def members(self, tag, text, budget):
        """The members a chain may go on with: no arrays where the compiler
        would not take their subscript, only scalars when the chain is long."""
        members = self.p.structs[tag]
        if self.member_run(text) >= 1:
            members = [m for m in members if not is_arr(m[1])] or members[:0]
        if budget <= 0:
            members = [m for m in members if m[1] in SCALARS] or members
        if not members:
            members = [m for m in self.p.structs[tag] if m[1] in SCALARS]
        return members

    def lvalue(self):
        """A scalar lvalue: (E, type)."""
        r = self.r
        s, g = self.scope, self.p.globals
        k = r.random()
        if k < 0.45:
            v = self.pick(s.scalars, g.scalars, 0.7)
        elif k < 0.62:
            v = self.pick(s.arrays, g.arrays, 0.3)
        elif k < 0.8:
            v = self.pick(s.structs, g.structs, 0.3)
        else:
            keys = list(s.ptrs) + list(g.ptrs)
            v = None
            if keys:
                key = r.choice(keys)
                v = self.pick(s.ptrs.get(key, []), g.ptrs.get(key, []), 0.5)
        if v is None:
            v = self.pick(s.scalars, g.scalars, 0.7)
        if v is None:
            return E(self.p.globals.ints[0].name), "int"
        return self.reach(v.name, v.type)

    # ---- pointers -----------------------------------------------------------
    def pointer_var(self, target):
        """A pointer variable to compare, or None."""
        return self.pick(self.scope.ptrs.get(target, []), self.p.globals.ptrs.get(target, []), 0.6)

    def pointer(self, target, allow_string=True):
        """An expression of type pointer to target, or None."""
        r = self.r
        s, g = self.scope, self.p.globals
        options = []
        pv = s.ptrs.get(target, []) + g.ptrs.get(target, [])
        av = s.arrs_of.get(target, []) + g.arrs_of.get(target, [])
        if pv:
            options += ["var"] * 4
        if av:
            options += ["arr"] * 3
        if target in SCALARS:
            options += ["addr"] * 2
            if target == "char" and allow_string:
                options.append("string")
            others = [t for t in SCALARS if t != target and (s.ptrs.get(t) or g.ptrs.get(t))]
            if others:
                options.append("cast")
        else:
            sv = [v for v in s.structs + g.structs[-20:] if v.type == target or
                  (is_arr(v.type) and v.type[1] == target)]
            if sv:
                options += ["saddr"] * 2
        if not options:
            return None
        k = r.choice(options)
        if k == "var":
            v = r.choice(pv)
            if r.random() < 0.2 and target in SCALARS:
                return E(f"{v.name} + {self.operand_index(8)}", 85)
            return E(v.name)
        if k == "arr":
            v = r.choice(av)
            x = r.random()
            if x < 0.5:
                return E(v.name)
            if x < 0.75:
                return E(f"{v.name} + {self.operand_index(v.type[2][0])}", 85)
            return E(f"&{v.name}[{self.index(v.type[2][0])}]", 95)
        if k == "addr":
            for _ in range(6):
                lv, lt = self.lvalue()
                if lt == target:
                    if lv.text.startswith("*"):
                        break
                    return E("&" + lv.text, 95)
            v = self.pick([x for x in s.scalars if x.type == target],
                          [x for x in g.scalars[-30:] if x.type == target])
            return E("&" + v.name, 95) if v else E("NULL")
        if k == "string":
            return E('"' + r.choice(STRINGS) + '"')
        if k == "cast":
            other = r.choice(others)
            v = r.choice(s.ptrs.get(other, []) + g.ptrs.get(other, []))
            return E(f"({target}*){v.name}", 95)
        v = r.choice(sv)
        if is_arr(v.type):
            return E(f"&{v.name}[{self.index(v.type[2][0])}]", 95)
        return E("&" + v.name, 95)

    # ---- expressions -----------------------------------------------------
    def leaf(self, calls=True):
        r = self.r
        k = r.random()
        if k < 0.28:
            return self.number()
        if k < 0.86 or not calls:
            lv, _ = self.lvalue()
            return lv
        if k < 0.945:
            return self.call(value=True) or self.number()
        if k < 0.96:
            lv, _ = self.lvalue()
            return E(f"sizeof({lv.text})", 95)
        if k < 0.98:
            p = self.pointer_var(r.choice(SCALARS))
            if p is not None:
                return E(f"{p.name} {r.choice(['==', '!='])} NULL", 70)
        lv, _ = self.lvalue()
        return E(f"({lv.text} = {self.arith(2).text})", 100)

    def arith(self, depth):
        """An arithmetic expression tree of exactly this depth."""
        r = self.r
        if depth <= 1:
            return self.leaf()
        k = r.random()
        if k < 0.1:
            inner = self.arith(depth - 1)
            op = r.choice(["~", "!", "(long)", "(int)", "(char)", "~"])
            return prefix(op, inner)
        if k < 0.16:
            a, b = self.arith(depth - 1), self.arith(r.randint(1, depth - 1))
            return binary(r.choice(REL_OPS + ["&&", "||"]), a, b)
        op = r.choice(ARITH_OPS)
        deep = self.arith(depth - 1)
        if op in ("<<", ">>"):
            other = E(str(r.randint(1, 12))) if r.random() < 0.7 else binary("&", self.leaf(False), E("7"))
            return binary(op, deep, other)
        if op in ("/", "%"):
            other = E(str(r.randint(2, 100))) if r.random() < 0.6 else \
                E(r.choice([d[0] for d in self.p.defines if d[2] > 0] or ["7"]))
            return binary(op, deep, other)
        other = self.arith(r.randint(1, depth - 1))
        return binary(op, deep, other) if r.random() < 0.5 else binary(op, other, deep)

    def cond(self, depth):
        """A condition: comparisons joined by && and ||, a negation, a pointer
        test or a plain value."""
        r = self.r
        k = r.random()
        if depth >= 3 and k < 0.25:
            a = self.cond(depth - 1)
            b = self.cond(r.randint(2, depth - 1))
            return binary(r.choice(["&&", "||"]), a, b)
        if k < 0.75 or depth <= 1:
            d = max(1, depth - 1)
            return binary(r.choice(REL_OPS), self.arith(d), self.arith(r.randint(1, d)))
        if k < 0.85:
            return prefix("!", self.arith(max(1, depth - 1)))
        if k < 0.9:
            p = self.pointer_var(r.choice(["int", "char"]))
            if p is not None:
                other = self.pointer(p.type[1], allow_string=False) if r.random() < 0.3 else None
                return binary(r.choice(["==", "!="]), E(p.name), other or E("NULL"))
        return self.arith(depth)

    def sized(self, make):
        """Draws a depth from 1 to 5 and makes an expression that stays
        inside the compiler's limits."""
        depth = self.r.choice([1, 1, 2, 2, 2, 3, 3, 4, 4, 5])
        for _ in range(8):
            e = make(depth)
            if len(e.text) <= MAX_EXPR_CHARS:
                return e
            depth = max(1, depth - 1)
        return make(1)

    def call(self, value):
        """A call; with value, only of a function that returns one."""
        r = self.r
        fns = self.p.functions
        for _ in range(10):
            fn = r.choice(fns) if r.random() < 0.8 else r.choice(self.p.sys_functions)
            if value and fn[1] == "void":
                continue
            args = []
            for _, pt in fn[2]:
                if pt in SCALARS:
                    a = self.arith(r.choice([1, 1, 1, 2, 2, 3]))
                else:
                    a = self.pointer(pt[1]) or E("NULL")
                args.append(a.text)
            return E(f"{fn[0]}({', '.join(args)})")
        return None

    # ---- statements --------------------------------------------------------
    def simple(self, ind):
        """One simple statement line."""
        r = self.r
        k = r.random()
        if k < 0.5:
            lv, _ = self.lvalue()
            return f"{ind}{lv.text} = {self.sized(self.arith).text};"
        if k < 0.58:
            lv, _ = self.lvalue()
            op = r.choice(["+=", "-=", "+=", "*=", "/=", "-="])
            rhs = self.sized(self.arith) if op != "/=" else E(str(r.randint(2, 16)))
            return f"{ind}{lv.text} {op} {rhs.text};"
        if k < 0.66:
            lv, _ = self.lvalue()
            t = lv.text if lv.prec >= 100 else f"({lv.text})"
            return f"{ind}{t}{r.choice(['++', '--', '++'])};"
        if k < 0.72:
            c = self.call(value=True)
            if c is not None:
                lv, _ = self.lvalue()
                return f"{ind}{lv.text} = {c.text};"
        if k < 0.8:
            c = self.call(value=False)
            if c is not None:
                return f"{ind}{c.text};"
        if k < 0.9:
            return self.pointer_statement(ind)
        if k < 0.93:
            a, _ = self.lvalue()
            b, _ = self.lvalue()
            return f"{ind}{a.text} = {self.arith(2).text}, {b.text} = {self.arith(1).text};"
        lv, _ = self.lvalue()
        return f"{ind}{lv.text} = {self.sized(self.arith).text};"

    def pointer_statement(self, ind):
        r = self.r
        s, g = self.scope, self.p.globals
        keys = list(s.ptrs) + list(g.ptrs)
        if not keys:
            lv, _ = self.lvalue()
            return f"{ind}{lv.text} = {self.arith(2).text};"
        key = r.choice(keys)
        v = self.pick(s.ptrs.get(key, []), g.ptrs.get(key, []), 0.6)
        k = r.random()
        if k < 0.2 and key in SCALARS:
            return f"{ind}{v.name}{r.choice(['++', '--'])};"
        if k < 0.3 and key in SCALARS:
            return f"{ind}{v.name} {r.choice(['+=', '-='])} {self.operand_index(4)};"
        if is_struct(key) and k < 0.5:
            members = [m for m, mt in self.p.structs[key[1]] if mt == ("ptr", key)]
            if members:
                return f"{ind}{v.name} = {v.name}->{r.choice(members)};"
        p = self.pointer(key)
        if p is None:
            p = E("NULL")
        return f"{ind}{v.name} = {p.text};"

    def block(self, budget, depth):
        """Statements filling about `budget` lines at nesting `depth`."""
        r = self.r
        ind = "  " * depth
        out = []
        while len(out) < budget:
            room = budget - len(out)
            k = r.random()
            if depth > 5 or room < 3:
                k = 0
            if k < 0.5:
                out.append(self.simple(ind))
                if depth == 1 and self.labels and r.random() < 0.04:
                    self.place_label(out, ind)
            elif k < 0.55:
                out.append(self.jump(ind))
            elif k < 0.59:
                out.append(f"{ind}// {r.choice(WORDS)} {r.choice(WORDS)} {r.choice(VERBS)}"
                           f"{' ' + r.choice(WORDS) if r.random() < 0.5 else ''}")
            elif k < 0.63 and depth == 1 and len(self.local_list) < self.n_locals + 2 and \
                    self.p.symbols < SYMBOL_BUDGET:
                out.append(self.local_decl(ind))
            else:
                out += self.compound(min(room, r.choice([3, 4, 6, 8, 12, 20])), depth, ind)
        return out

    def place_label(self, out, ind):
        free = [x for x in self.labels if x not in self.labels_placed]
        if free:
            lab = free[0]
            self.labels_placed.add(lab)
            out.append(f"{ind[:-1]}{lab}:")
            out.append(self.simple(ind))

    def jump(self, ind):
        """A guarded break, continue, return or goto, or a simple statement
        where none fits."""
        r = self.r
        kinds = ["return"]
        if self.loop or self.switch:
            kinds += ["break"] * 2
        if self.loop:
            kinds += ["continue"] * 2
        if self.labels:
            kinds += ["goto"]
        k = r.choice(kinds)
        if k == "return":
            body = self.return_statement()
        elif k == "goto":
            body = f"goto {r.choice(self.labels)};"
        else:
            body = k + ";"
        c = self.cond(r.choice([1, 2, 2, 3]))
        if r.random() < 0.5:
            return f"{ind}if ({c.text}) {{ {body} }}"
        return f"{ind}if ({c.text}) {{\n{ind}  {body}\n{ind}}}"

    def return_statement(self):
        ret = self.fn[1]
        if ret == "void":
            return "return;"
        return f"return ({self.sized(self.arith).text});"

    def compound(self, budget, depth, ind):
        r = self.r
        inner = max(1, budget - 2)
        k = r.random()
        if k < 0.38:
            c = self.cond(r.choice([2, 2, 3, 3, 4, 5]))
            lines = [f"{ind}if ({c.text}) {{"] + self.block(inner, depth + 1)
            x = r.random()
            if x < 0.3:
                lines.append(f"{ind}}} else {{")
                lines += self.block(max(1, inner // 2), depth + 1)
            elif x < 0.4:
                lines.append(f"{ind}}} else {{")
                c2 = self.cond(r.choice([2, 3]))
                lines.append(f"{ind}  if ({c2.text}) {{")
                lines += self.block(max(1, inner // 2), depth + 2)
                lines.append(f"{ind}  }}")
            lines.append(f"{ind}}}")
            return lines
        if k < 0.58:
            return self.for_loop(inner, depth, ind)
        if k < 0.72:
            c = self.cond(r.choice([2, 2, 3, 4]))
            self.loop += 1
            body = self.block(inner, depth + 1)
            self.loop -= 1
            return [f"{ind}while ({c.text}) {{"] + body + [f"{ind}}}"]
        if k < 0.8:
            self.loop += 1
            body = self.block(inner, depth + 1)
            self.loop -= 1
            c = self.cond(r.choice([2, 2, 3]))
            return [f"{ind}do {{"] + body + [f"{ind}}} while ({c.text});"]
        return self.switch_statement(budget, depth, ind)

    def for_loop(self, inner, depth, ind):
        r = self.r
        i = self.int_var() or self.p.globals.ints[0].name
        k = r.random()
        if k < 0.45:
            bound = r.choice([E(str(r.randint(2, 64))), self.arith(1)] +
                             [E(d[0]) for d in self.p.defines[-8:]])
            head = f"for ({i} = 0; {binary('<', E(i), bound).text}; {i}++)"
        elif k < 0.6:
            head = f"for ({i} = {self.arith(r.choice([1, 2])).text}; {i} > 0; {i}--)"
        elif k < 0.7:
            j = self.int_var() or i
            head = (f"for ({i} = 0, {j} = {r.randint(1, 40)}; {i} < {j}; "
                    f"{i}++, {j} -= {r.randint(1, 3)})")
        elif k < 0.8:
            head = (f"for ({i} = {r.randint(0, 4)}; {self.cond(2).text}; "
                    f"{i} += {r.randint(2, 5)})")
        elif k < 0.9:
            s, g = self.scope, self.p.globals
            pv = s.ptrs.get("char", []) + g.ptrs.get("char", [])
            src = self.pointer("char", allow_string=False)
            if pv and src is not None:
                p = r.choice(pv).name
                head = f"for ({p} = {src.text}; *{p} != 0; {p}++)"
            else:
                head = f"for ({i} = 0; {i} < {r.randint(2, 64)}; {i}++)"
        else:
            head = "for (;;)"
        self.loop += 1
        body = self.block(inner, depth + 1)
        if head == "for (;;)":
            body.insert(0, f"{ind}  if ({self.cond(2).text}) {{ break; }}")
        elif r.random() < 0.15:
            body.insert(0, f"{ind}  if ({self.cond(2).text}) {{ continue; }}")
        self.loop -= 1
        return [f"{ind}{head} {{"] + body + [f"{ind}}}"]

    def switch_statement(self, budget, depth, ind):
        r = self.r
        for _ in range(10):
            lv, st = self.lvalue()
            subject = lv.text
            if r.random() < 0.3:
                subject = f"{lv.text if lv.prec >= 85 else '(' + lv.text + ')'} & {r.choice([3, 7, 15, 0xFF])}"
            if len(subject) <= 55:
                break
        else:
            subject, st = self.int_var() or self.p.globals.ints[0].name, "int"
        top = 127 if st == "char" else 300
        n_cases = max(1, min(8, (budget - 2) // 3))
        n_cases = r.randint(1, n_cases)
        values = set()
        lines = [f"{ind}switch ({subject}) {{"]
        self.switch += 1
        plain = [d for d in self.p.defines if d[3]]
        default_at = n_cases if r.random() < 0.7 else (r.randrange(n_cases) if r.random() < 0.5 else -1)
        for c in range(n_cases + 1):
            if c == default_at:
                lines.append(f"{ind}  default:")
            elif c < n_cases:
                while True:
                    x = r.random()
                    if x < 0.2 and plain and any(d[2] <= top for d in plain):
                        d = r.choice([d for d in plain if d[2] <= top])
                        text, v = d[0], d[2]
                    elif x < 0.3:
                        ch = r.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")
                        text, v = f"'{ch}'", ord(ch)
                    else:
                        v = r.choice([len(values), r.randint(0, 20), r.randint(0, top)])
                        text = str(v)
                    if v not in values:
                        values.add(v)
                        break
                lines.append(f"{ind}  case {text}:")
            else:
                break
            per = max(1, (budget - 2) // (n_cases + 1) - 1)
            lines += self.block(r.randint(1, per), depth + 2)
            x = r.random()
            if x < 0.75:
                lines.append(f"{ind}    break;")
            elif x < 0.85:
                lines.append(f"{ind}    {self.return_statement()}")
        self.switch -= 1
        lines.append(f"{ind}}}")
        return lines

    def local_decl(self, ind):
        """A local declaration: one or a few names of one type."""
        r = self.r
        tags = self.p.sys_tags + self.p.prog_tags
        k = r.random()
        names = []
        if k < 0.55:
            t = r.choice(["int", "int", "int", "char", "long"])
        elif k < 0.75:
            t = ("ptr", r.choice(["int", "char", "char", "long"] +
                                 ([("struct", r.choice(tags))] if tags else [])))
        elif k < 0.87 and self.p.arrays < ARRAY_BUDGET:
            self.p.arrays += 1
            t = ("arr", r.choice(["int", "char", "char", "long"]), [r.choice([4, 8, 16, 32])])
        elif tags:
            t = ("struct", r.choice(tags))
        else:
            t = "int"
        count = r.randint(2, 3) if t in SCALARS and r.random() < 0.3 else 1
        texts = []
        for _ in range(count):
            n = self.p.fresh(lambda: r.choice(LOCAL_NAMES) +
                             (r.choice(["", "", "", "2", "_" + r.choice(WORDS)])), self.names, 16)
            self.names.add(n)
            names.append(n)
            init = None
            if t in SCALARS and r.random() < 0.3:
                init = str(r.randint(0, 100))
            elif is_arr(t) and r.random() < 0.2:
                init = "{" + ", ".join(str(r.randint(0, 99)) for _ in range(r.randint(1, 4))) + "}"
            texts.append(self.p.declarator_text(n, t, init))
        if count == 1:
            line = f"{ind}{texts[0]};"
        else:
            line = f"{ind}{t} " + ", ".join(x.split(" ", 1)[1] for x in texts) + ";"
        for n in names:
            v = Var(n, t)
            self.scope.add(v)
            self.local_list.append(v)
            self.p.symbols += 1
        return line

    def text(self):
        r = self.r
        name, ret, params, public = self.fn
        ps = ", ".join(self.p.declarator_text(p, t) for p, t in params)
        lines = []
        if r.random() < 0.35:
            lines.append(f"// {name.replace('_', ' ')}: {r.choice(VERBS)} the {r.choice(WORDS)} "
                         f"{r.choice(['and', 'from', 'into', 'for'])} the {r.choice(WORDS)}")
        elif r.random() < 0.1:
            lines.append(f"/* {r.choice(WORDS)} {r.choice(WORDS)} handling */")
        lines.append(f"{'public ' if public else ''}{ret} {name}({ps}) {{")
        for _ in range(self.n_locals):
            lines.append(self.local_decl("  "))
        if r.random() < 0.3 and self.budget > 15:
            self.labels = r.sample(LABELS, r.choice([1, 1, 2]))
        body_budget = max(1, self.budget - len(lines) - 2)
        if self.labels and r.random() < 0.4:
            lab = self.labels[0]
            self.labels_placed.add(lab)
            lines.append(f"{lab}:")
            lines.append(self.simple("  "))
            body_budget -= 2
        body = self.block(body_budget, 1)
        lines += body
        for lab in self.labels:
            if lab not in self.labels_placed:
                self.labels_placed.add(lab)
                lines.append(f"{lab}:")
                lines.append(self.simple("  "))
        if ret != "void":
            lines.append("  " + self.return_statement())
        lines.append("}")
        return lines


def generate(target, seed):
    """Returns (files, sys10, compat): files is a list of (name suffix, text)."""
    p = Program(target, seed)
    r = p.r
    # Sys10.c: system definitions, structures that parameters point to,
    # system variables and functions, and every prototype.
    sys_lines = ["// System definitions of the controller board.", ""]
    for _ in range(6):
        sys_lines.append(p.add_define())
    sys_lines.append("")
    for _ in range(3):
        _, body = p.new_struct(sys=True)
        sys_lines += body + ["};", ""]
    for k in range(4):
        n = p.global_name()
        t = "int" if k == 0 else r.choice(["int", "int", "long", "char"])
        sys_lines.append(f"extern {t} {n};")
        v = Var(n, t)
        p.globals.add(v)
        p.global_list.append(v)
        p.symbols += 1
    sys_fns = [("read_port", "int", [("port", "int")], False),
               ("write_port", "void", [("port", "int"), ("value", "int")], False),
               ("wait_ms", "void", [("ms", "int")], False),
               ("get_ticks", "long", [], False),
               ("log_event", "void", [("code", "int"), ("text", ("ptr", "char"))], False),
               ("checksum", "int", [("data", ("ptr", "char")), ("len", "int")], False)]
    p.sys_functions = sys_fns
    for fn in sys_fns:
        sys_lines.append(p.prototype(fn))
    p.symbols += len(sys_fns)
    for name in ("read_port", "write_port", "wait_ms", "get_ticks", "log_event", "checksum"):
        p.used_names.add(name)
    sys_lines.append("")

    # Sizes: globals, structures and functions grow with the program; the
    # symbol table decides how many functions there can be.
    n_globals = max(30, min(280, 30 + target // 350))
    n_structs = max(2, min(12, 2 + target // 8000))
    n_defines = max(10, min(300, 10 + target // 300))
    fixed = p.symbols + n_globals + n_structs * 7 + 10
    per_fn = 6.0  # the function, its parameters and its locals, on average
    n_max = int((SYMBOL_BUDGET - fixed) / per_fn)
    mean_len = 38
    n_fns = max(3, min(n_max, target // mean_len))
    p.plan_functions(n_fns)
    # Function lengths: most short, a few long, adding up to the body lines.
    weights = [r.lognormvariate(0, 0.75) for _ in range(n_fns)]
    decl_lines = n_globals * 0.85 + n_structs * 8 + n_defines + n_fns * 0.7 + 20
    body_total = max(n_fns * 6, (target - decl_lines) * 0.96)  # blocks run over their budget a little
    scale = body_total / sum(weights)
    lengths = [max(5, int(w * scale)) for w in weights]
    locals_room = (SYMBOL_BUDGET - fixed - p.symbols) / max(1, n_fns)

    for fn in p.functions:
        sys_lines.append(p.prototype(fn))
    sys_lines.append("int main();")

    out = [f"// Controller program {seed}: generated, {target} lines planned.", ""]
    globals_left = n_globals
    structs_left = n_structs
    defines_left = n_defines

    def cluster(first):
        nonlocal globals_left, structs_left, defines_left
        lines = []
        nd = min(defines_left, r.randint(0, 4))
        if first:
            nd = min(defines_left, max(4, n_defines // 4))
        for _ in range(nd):
            lines.append(p.add_define())
        defines_left -= nd
        if nd:
            lines.append("")
        ns = (min(structs_left, 2) if first else
              (1 if structs_left and r.random() < 0.4 else 0))
        for _ in range(ns):
            tag, body = p.new_struct()
            if r.random() < 0.25:
                n = p.global_name()
                body.append(f"}} {n};")
                v = Var(n, ("struct", tag))
                p.globals.add(v)
                p.global_list.append(v)
                p.symbols += 1
                globals_left -= 1
            else:
                body.append("};")
            lines += body + [""]
        structs_left -= ns
        ng = max(8, n_globals * 3 // 10) if first else min(globals_left, r.randint(1, 6))
        ng = min(ng, max(0, globals_left))
        lines += p.declare_globals(ng)
        globals_left -= ng
        if ng:
            lines.append("")
        return lines

    out += cluster(True)
    parts = []
    every = max(2, n_fns // max(1, n_defines // 3))
    for i, fn in enumerate(p.functions):
        if i and i % every == 0 and (globals_left > 0 or defines_left > 0 or structs_left > 0):
            out += cluster(False)
        room = max(1.0, locals_room - len(fn[2]) - 1)
        n_locals = max(1, min(8, int(r.triangular(1, min(8, room * 1.6), min(room, 4)))))
        reserved = max(0, globals_left) + structs_left * 10 + 2
        if p.symbols + reserved + n_locals + 3 > SYMBOL_BUDGET:
            n_locals = max(0, min(n_locals, SYMBOL_BUDGET - p.symbols - reserved - 3))
        f = Func(p, fn, lengths[i], n_locals)
        out += f.text()
        out.append("")
        if len(out) >= PART_LINES and i < len(p.functions) - 1:
            parts.append(out)
            out = []
    # main calls a few of the functions.
    main = ["int main() {", "  int status;", "  status = 0;"]
    p.symbols += 1
    f = Func(p, ("main", "int", [], False), 1, 0)
    for fn in r.sample(p.functions, min(5, len(p.functions))):
        args = ", ".join((f.arith(1).text if t in SCALARS else (f.pointer(t[1]) or E("NULL")).text)
                         for _, t in fn[2])
        main.append(f"  {fn[0]}({args});" if fn[1] == "void"
                    else f"  status = status + {fn[0]}({args});")
    main += ["  return (status);", "}"]
    out += main
    parts.append(out)
    sys_text = "\n".join(sys_lines) + "\n"
    compat = ("// Lets a C compiler read the program: the language's words for data\n"
              "// placement and NULL, then the system definitions.\n"
              "#define fixed\n#define public\n#define NULL ((void *)0)\n"
              "#include \"Sys10.c\"\n")
    return parts, sys_text, compat, p


def main():
    ap = argparse.ArgumentParser(description="Writes a generated program whose statements differ.")
    ap.add_argument("lines", type=int)
    ap.add_argument("out")
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    parts, sys_text, compat, _ = generate(args.lines, args.seed)
    out_dir = os.path.dirname(os.path.abspath(args.out))
    base = os.path.splitext(os.path.basename(args.out))[0]
    names = [os.path.basename(args.out)] + [f"{base}_{k + 1}.c" for k in range(1, len(parts))]
    head = parts[0]
    if len(parts) > 1:
        # the first file includes the others where they follow on
        head = head + [""] + [f'#include "{n}"' for n in names[1:]]
    texts = [head] + parts[1:]
    for n, lines in zip(names, texts):
        with open(os.path.join(out_dir, n), "w") as f:
            f.write("\n".join(lines) + "\n")
    with open(os.path.join(out_dir, "Sys10.c"), "w") as f:
        f.write(sys_text)
    with open(os.path.join(out_dir, "c_compat.h"), "w") as f:
        f.write(compat)


if __name__ == "__main__":
    main()
