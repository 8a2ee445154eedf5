// Warnings about expressions that C would compute otherwise: both sides of "&&"
// and "||" are evaluated, one-byte arithmetic wraps before it is widened,
// arguments are evaluated last to first, the target of a rewritten operator is
// compiled twice, and "x++" gives the new value. Each check reads the code
// references between the terms ("@n" at the start of a term's code), which
// form the expression's tree until the code is expanded.
#include <bitset>
#include <string>

#include "base/bytes.h"
#include "base/compiler.h"
#include "base/text_helpers.h"
#include "decl/tables.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"
#include "io/run_state.h"

namespace stackcc {

namespace {

constexpr int kMaxReferences = 64;
constexpr int kMaxNames = 32;

// The terms a term's code refers to, in the order they stand.
struct References {
  int index[kMaxReferences];
  int count = 0;
};

References ReferencesOf(const Compiler& c, int term) {
  References refs;
  const ExprState& e = c.expr;
  std::string_view code = e.terms[term].code.view();
  std::size_t i = 0;
  while (i < code.size() && code[i] == '@' && refs.count < kMaxReferences) {
    int value = 0;
    std::size_t j = i + 1;
    while (j < code.size() && IsDigit(code[j]) && value < kTermCount) {
      value = value * 10 + (code[j] - '0');
      ++j;
    }
    if (j == i + 1) break;
    if (value != term && value <= e.lastTermIndex) refs.index[refs.count++] = value;
    i = j;
  }
  return refs;
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A "(" that calls: its last reference is the callee, whose code jumps.
bool IsCallTerm(const Compiler& c, int term) {
  const ExprTerm& t = c.expr.terms[term];
  if (t.op != kOpOpenParen) return false;
  References refs = ReferencesOf(c, term);
  if (refs.count == 0) return false;
  const ExprTerm& callee = c.expr.terms[refs.index[refs.count - 1]];
  return callee.op == kOpNull && EndsWith(callee.code.view(), "gosub\r\n");
}

bool IsAssigningOperator(int op) {
  return (op >= kOpAssign && op <= kOpDivAssign) || op == kOpIncrement || op == kOpDecrement;
}

// What a subtree does: calls, stores, and the names of the pointers and
// indices it reads through.
struct TreeFacts {
  bool calls = false;
  bool assigns = false;
  int through[kMaxNames];
  int throughCount = 0;
  std::bitset<kTermCount> seen;
};

void AddName(int* names, int& count, int symbol) {
  for (int i = 0; i < count; ++i) {
    if (names[i] == symbol) return;
  }
  if (count < kMaxNames) names[count++] = symbol;
}

bool HasName(const int* names, int count, int symbol) {
  for (int i = 0; i < count; ++i) {
    if (names[i] == symbol) return true;
  }
  return false;
}

bool IsPointerName(const Compiler& c, int term) {
  const ExprTerm& t = c.expr.terms[term];
  return t.op == kOpNull && t.symbol > 0 && c.decl.symbols[t.symbol].kind == SymPointer;
}

void Gather(const Compiler& c, int term, bool through, TreeFacts& f) {
  if (term < 0 || term >= kTermCount || f.seen.test(static_cast<std::size_t>(term))) return;
  f.seen.set(static_cast<std::size_t>(term));
  const ExprTerm& t = c.expr.terms[term];
  bool name = t.op == kOpNull && t.symbol > 0 && c.decl.symbols[t.symbol].kind != SymFunction;
  if (name && through) AddName(f.through, f.throughCount, t.symbol);
  if (IsAssigningOperator(t.op)) f.assigns = true;
  if (IsCallTerm(c, term)) f.calls = true;
  References refs = ReferencesOf(c, term);
  for (int n = 0; n < refs.count; ++n) {
    int child = refs.index[n];
    // sizeof reads its operand only for the size, never through it.
    bool via = t.op != kOpSizeof && (through || t.op == kOpDeref);
    if (t.op == kOpOpenBracket) via = via || n > 0 || IsPointerName(c, child);
    if (t.op == kOpArrow) via = via || n == 0;
    Gather(c, child, via, f);
  }
}

bool IsComparison(int op) {
  return op >= kOpLess && op <= kOpNotEqual;
}

// The name a tested value stands for: a name, also in parentheses, a cast or
// "!"; 0 for anything else. A member is no tested name: its symbol stands for
// that member of every structure.
int TestedName(const Compiler& c, int term) {
  for (int depth = 0; depth < kTermCount; ++depth) {
    const ExprTerm& t = c.expr.terms[term];
    References refs = ReferencesOf(c, term);
    if (t.op == kOpNull) return t.symbol > 0 ? t.symbol : 0;
    bool passes = (t.op == kOpOpenParen || (t.op >= kOpCastInt && t.op <= kOpCastCharPtr) ||
                   t.op == kOpNot) &&
                  refs.count == 1 && !IsCallTerm(c, term);
    if (!passes) return 0;
    term = refs.index[refs.count - 1];
  }
  return 0;
}

// The names a condition tests: the operands of its comparisons, a name tested
// for truth, through "&&", "||", "!" and parentheses.
void GatherTested(const Compiler& c, int term, int depth, int* names, int& count) {
  if (depth > kTermCount) return;
  const ExprTerm& t = c.expr.terms[term];
  References refs = ReferencesOf(c, term);
  int name = TestedName(c, term);
  if (name > 0) {
    AddName(names, count, name);
    return;
  }
  bool logical = t.op == kOpLogicalAnd || t.op == kOpLogicalOr || t.op == kOpNot ||
                 (t.op == kOpOpenParen && !IsCallTerm(c, term));
  if (!logical && !IsComparison(t.op)) return;
  for (int n = 0; n < refs.count; ++n) {
    if (logical) {
      GatherTested(c, refs.index[n], depth + 1, names, count);
    } else {
      int operand = TestedName(c, refs.index[n]);
      if (operand > 0) AddName(names, count, operand);
    }
  }
}

TreeFacts FactsOf(const Compiler& c, int term) {
  TreeFacts f;
  Gather(c, term, false, f);
  return f;
}

bool HasSideEffect(const TreeFacts& f) {
  return f.calls || f.assigns;
}

// A symbol's name as the user wrote it (a local's stored name carries "_func_").
std::string ShownName(const Compiler& c, int symbol) {
  std::string_view name = c.decl.symbols[symbol].name.view();
  std::size_t cut = name.find(kFunctionMark);
  if (cut != std::string_view::npos) name = name.substr(0, cut);
  std::size_t member = name.find("_ST_");  // a member: tag, "_ST_", member name
  if (member != std::string_view::npos) name = name.substr(member + 4);
  return std::string(name);
}

std::string ShownTermName(const Compiler& c, int term) {
  const ExprTerm& t = c.expr.terms[term];
  if (t.symbol > 0) return ShownName(c, t.symbol);
  return std::string(t.text.view());
}

std::string ShortCircuitText(const Compiler& c, int left, const TreeFacts& right, bool isAnd) {
  std::string op = isAnd ? "&&" : "||";
  std::string when = isAnd ? "false" : "true";
  std::string what;
  if (right.calls) {
    what = "calls a function";
  } else if (right.assigns) {
    what = "assigns";
  } else {
    int tested[kMaxNames];
    int testedCount = 0;
    GatherTested(c, left, 0, tested, testedCount);
    for (int i = 0; i < right.throughCount && what.empty(); ++i) {
      if (HasName(tested, testedCount, right.through[i])) {
        what = "reads through '" + ShownName(c, right.through[i]) + "', which the left side tests,";
      }
    }
  }
  if (what.empty()) return {};
  return "both sides of '" + op + "' are always evaluated here: the right side " + what +
         " also when the left side is " + when + "; test the left side in an if of its own (" +
         (isAnd ? "if (a) { if (b) { ... } }" : "if (a) { ... } else { if (b) { ... } }") + ")";
}

// A term that passes the value under it on: parentheses, and a widening cast
// while it converts (the cast's term then still has its operand's size).
bool PassesValueOn(const ExprTerm& t) {
  return t.op == kOpOpenParen || t.op == kOpCastInt || t.op == kOpCastLong;
}

// Whether a term's value is "+", "-" or "*" of two one-byte operands (also in
// parentheses).
bool IsByteArithmetic(const Compiler& c, int term, int depth) {
  const ExprTerm& t = c.expr.terms[term];
  References refs = ReferencesOf(c, term);
  if (PassesValueOn(t) && refs.count == 1 && depth < kTermCount) {
    return !IsCallTerm(c, term) && IsByteArithmetic(c, refs.index[0], depth + 1);
  }
  if (t.op != kOpAdd && t.op != kOpSub && t.op != kOpMul) return false;
  if (refs.count != 2 || t.elementSize != 0) return false;
  return TermSize(c, refs.index[0]) == 1 && TermSize(c, refs.index[1]) == 1 &&
         TermSize(c, term) == 1;
}

// The operator of a byte arithmetic value, through its parentheses.
std::string_view ByteOperatorName(const Compiler& c, int term) {
  for (int depth = 0; depth < kTermCount && PassesValueOn(c.expr.terms[term]); ++depth) {
    term = ReferencesOf(c, term).index[0];
  }
  return OperatorShownName(c.expr.terms[term].op);
}

// Walks the tree from the root; a value is used unless it is the statement's
// value or the left side of a comma (both dropped). Parentheses pass the
// question on.
struct IncrementWalk {
  std::bitset<kTermCount> seenUsed;
  std::bitset<kTermCount> seenUnused;
  std::bitset<kTermCount> told;
};

void WalkIncrements(Compiler& c, int term, bool used, IncrementWalk& w) {
  if (term < 0 || term >= kTermCount) return;
  auto& seen = used ? w.seenUsed : w.seenUnused;
  if (seen.test(static_cast<std::size_t>(term))) return;
  seen.set(static_cast<std::size_t>(term));
  const ExprTerm& t = c.expr.terms[term];
  bool increment = t.op == kOpIncrement || t.op == kOpDecrement;
  if (increment && used && !w.told.test(static_cast<std::size_t>(term))) {
    w.told.set(static_cast<std::size_t>(term));
    std::string op(OperatorShownName(t.op));
    std::string sign = t.op == kOpIncrement ? "+ 1" : "- 1";
    ReportWarning(c, Warning::kIncrementValue,
                  "x" + op + " is x = x " + sign +
                      " here: its value inside a larger expression is the new value, not the "
                      "old one as in C; write the " +
                      op + " as a statement of its own before or after the expression");
  }
  References refs = ReferencesOf(c, term);
  bool group = t.op == kOpOpenParen && !IsCallTerm(c, term);
  for (int n = 0; n < refs.count; ++n) {
    bool childUsed = true;
    if (group) childUsed = used;
    if (t.op == kOpComma) childUsed = n == 0 ? false : used;
    WalkIncrements(c, refs.index[n], childUsed, w);
  }
}

}  // namespace

void WarnLogicalOperands(Compiler& c, int k, int left, int right) {
  if (!WarningOn(c.run.tools, Warning::kShortCircuit)) return;
  TreeFacts r = FactsOf(c, right);
  std::string text = ShortCircuitText(c, left, r, c.expr.terms[k].op == kOpLogicalAnd);
  if (!text.empty()) ReportWarning(c, Warning::kShortCircuit, text);
}

void WarnCallArguments(Compiler& c, int k) {
  if (!WarningOn(c.run.tools, Warning::kArgumentOrder) || !IsCallTerm(c, k)) return;
  References refs = ReferencesOf(c, k);
  int arguments = refs.count - 1;
  int effects = 0;
  for (int n = 0; n < arguments; ++n) {
    if (HasSideEffect(FactsOf(c, refs.index[n]))) ++effects;
  }
  if (arguments < 2 || effects < 2) return;
  std::string name = ShownTermName(c, refs.index[refs.count - 1]);
  ReportWarning(c, Warning::kArgumentOrder,
                "the arguments of " + name +
                    " are evaluated from the last to the first here, and " +
                    std::to_string(effects) +
                    " of them have side effects, which happen in that order; compute them "
                    "into variables first, in the order you mean");
}

void WarnRewrittenTarget(Compiler& c, int k, int left) {
  if (!WarningOn(c.run.tools, Warning::kTargetTwice) || left < 0) return;
  if (!HasSideEffect(FactsOf(c, left))) return;
  std::string op(OperatorShownName(c.expr.terms[k].op));
  ReportWarning(c, Warning::kTargetTwice,
                "the target of '" + op +
                    "' is compiled twice here (as the value read and as the place stored "
                    "to), so its side effect happens twice; compute the index or address "
                    "into a variable first");
}

void WarnWidenedByteArithmetic(Compiler& c, int term, int to) {
  if (!IsByteArithmetic(c, term, 0)) return;
  std::string op(ByteOperatorName(c, term));
  ReportWarning(c, Warning::kCharArithmetic,
                "'" + op +
                    "' of two one-byte operands is computed in one byte here (it wraps at "
                    "127) before its value is widened to " +
                    std::to_string(to) + " bytes; cast one operand first, as in (int)a " + op +
                    " b");
}

void WarnUsedIncrements(Compiler& c, int root) {
  if (!WarningOn(c.run.tools, Warning::kIncrementValue)) return;
  IncrementWalk walk;
  WalkIncrements(c, root, false, walk);
}

}  // namespace stackcc
