// Evaluating a range of terms: the pending operator of highest precedence is
// applied, again and again, until none is left (the leftmost of equals first).
// Applying an operator compiles its operands into their own terms, gives the
// operator's term code references to them, and lets the operator's emitter add
// its lines.
#include "base/compiler.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"

namespace stackcc {

namespace {

// An operand of an operator: a term in the range that is an operand or a value
// that an operator has already produced. Anything else means an operand is missing.
bool OperandFound(Compiler& c, int k, int operand) {
  if (operand >= 0) return true;
  StopExpression(c, OperatorShownName(c.expr.terms[k].op));
  return false;
}

void ApplyBinary(Compiler& c, int k) {
  ExprState& e = c.expr;
  const OperatorEntry& entry = OperatorAt(e.terms[k].op);
  int right = NextPendingTerm(c, k, e.rangeLast);
  int left = PreviousPendingTerm(c, k, e.rangeFirst);
  if (!OperandFound(c, k, left) || !OperandFound(c, k, right)) return;
  EmitOperand(c, left);
  EmitOperand(c, right);
  if (entry.typeRule == kRuleAssignment) AppendCode(c, left, "null_last_line\r\n");
  if (entry.pointerScaling == 1) ScalePointerOperands(c, k, left, right);
  e.terms[k].state = 1;
  CombineTypes(c, k, left, right, entry.typeRule);
  if (entry.typeRule == kRuleAssignment) {
    AppendCodeLineNumber(c, right, "dup ", TermSize(c, right));
    AppendCodeReference(c, k, right);
    AppendCodeReference(c, k, left);
  } else {
    AppendCodeReference(c, k, left);
    AppendCodeReference(c, k, right);
  }
  if (!e.failed) EmitOperator(c, k, left, right);
  if (!e.failed && (e.terms[k].op == kOpLogicalAnd || e.terms[k].op == kOpLogicalOr)) {
    WarnLogicalOperands(c, k, left, right);
  }
}

void ApplyOperator(Compiler& c, int k);

// The operand of a prefix operator. Prefix operators bind right to left: in **p
// or !!x the inner one is applied first, so the outer one finds its value.
int PrefixOperand(Compiler& c, int k) {
  ExprState& e = c.expr;
  int operand = NextPendingTerm(c, k, e.rangeLast);
  while (operand >= 0 && !e.failed && e.terms[operand].state == 0 &&
         OperatorAt(e.terms[operand].op).kind == 'R') {
    ApplyOperator(c, operand);
    operand = NextPendingTerm(c, k, e.rangeLast);
  }
  return operand;
}

void ApplyUnary(Compiler& c, int k, bool prefix) {
  ExprState& e = c.expr;
  int operand = prefix ? PrefixOperand(c, k) : PreviousPendingTerm(c, k, e.rangeFirst);
  if (e.failed || !OperandFound(c, k, operand)) return;
  EmitOperand(c, operand);
  if (e.failed) return;
  e.terms[k].type = e.terms[operand].type;
  e.terms[k].state = 1;
  AppendCodeReference(c, k, operand);
  if (!e.failed) EmitOperator(c, k, prefix ? -1 : operand, prefix ? operand : -1);
}

void ApplyOperator(Compiler& c, int k) {
  ExprState& e = c.expr;
  switch (OperatorAt(e.terms[k].op).kind) {
    case 'B':
      ApplyBinary(c, k);
      break;
    case 'R':
      ApplyUnary(c, k, true);
      break;
    case 'L':
      ApplyUnary(c, k, false);
      break;
    case 'G':
      e.terms[k].state = 1;
      EmitOperator(c, k, -1, -1);
      break;
    default:  // "?": the language has no conditional operator
      StopExpression(c, OperatorShownName(e.terms[k].op));
      break;
  }
}

// The pending operators of a range in the order they are applied: highest
// precedence first, the leftmost first among equals (the rightmost among
// assignments). Brackets come first of all, and each is applied before any
// operator of a larger range, so the operators inside a bracket pair are left
// to the evaluation of what it holds. Applying an operator only ever takes
// terms out of the pending state (it never adds one in the range), so the
// pending operator to apply next is always the first of this order that is
// still pending.
struct OrderEntry {
  short index;
  short precedence;
  bool assignment;
};

struct OperatorOrder {
  OrderEntry entries[kTermCount];
  int count = 0;
};

bool IsAssignment(int op) {
  return op >= kOpAssign && op <= kOpDivAssign;
}

// Whether the operator t, standing right of earlier, is applied before it:
// tighter operators first; assignments of a chain (a = b = 5, a = b += 2) from
// the right, every other operator from the left.
bool AppliedBefore(const OrderEntry& t, const OrderEntry& earlier) {
  if (earlier.precedence != t.precedence) return earlier.precedence < t.precedence;
  return t.assignment && earlier.assignment;
}

void OrderOperators(const ExprState& e, int first, int last, OperatorOrder& order) {
  if (first < 0) first = 0;
  if (last > e.lastTermIndex) last = e.lastTermIndex;
  for (int j = first; j <= last; ++j) {
    const ExprTerm& t = e.terms[j];
    if (t.op == kOpNull && t.text.empty()) break;
    if (t.state != 0 || t.precedence <= 0) continue;
    OrderEntry entry{static_cast<short>(j), static_cast<short>(t.precedence), IsAssignment(t.op)};
    int at = order.count++;
    while (at > 0 && AppliedBefore(entry, order.entries[at - 1])) {
      order.entries[at] = order.entries[at - 1];
      --at;
    }
    order.entries[at] = entry;
    // Applying a bracket evaluates all it holds first: nothing inside is left
    // pending for this range, so its operators need no place in the order.
    bool opens = t.op == kOpOpenParen || t.op == kOpOpenBracket;
    if (opens && t.partner > j && t.partner <= last) j = t.partner;
  }
}

}  // namespace

int EvaluateRange(Compiler& c, int first, int last) {
  ExprState& e = c.expr;
  if (e.failed) return -1;
  if (first > last) return first;
  int savedFirst = e.rangeFirst;
  int savedLast = e.rangeLast;
  e.rangeFirst = first;
  e.rangeLast = last;
  int applied = -1;
  OperatorOrder order;
  OrderOperators(e, first, last, order);
  for (int n = 0; n < order.count && !e.failed; ++n) {
    int k = order.entries[n].index;
    if (e.terms[k].state != 0) continue;
    applied = k;
    ApplyOperator(c, k);
  }
  if (!e.failed && applied < 0) {
    EmitOperand(c, first);
    applied = first;
  }
  e.rangeFirst = savedFirst;
  e.rangeLast = savedLast;
  return e.failed ? -1 : applied;
}

}  // namespace stackcc
