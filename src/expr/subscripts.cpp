// Subscripts: the index is scaled by the element size (times the stride of the
// dimension for an array) and added to the address; the last subscript of an
// array, and the first of a pointer, loads. A chain a[i][j] is scaled by the
// array symbol that starts it, whatever the indices themselves subscript.
#include <cstdint>

#include "base/compiler.h"
#include "decl/tables.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"

namespace stackcc {

namespace {

// The chain's type for the "[" at k: taken over from the "[" before it, or from
// the subscripted name. False when there is nothing to subscript (reported).
bool StartSubscript(Compiler& c, int k, int b) {
  ExprState& e = c.expr;
  ExprTerm& K = e.terms[k];
  if (e.terms[b].op == kOpOpenBracket) {
    K.type = e.terms[b].type;
    K.chainIsArray = e.terms[b].chainIsArray;
  } else {
    ResolveMember(c, k - 1);
    if (e.failed) return false;
    ExprTerm& B = e.terms[b];
    int s = B.unresolved || B.state != 0 ? 0 : TermSymbol(c, b);
    B.symbol = s;  // the operand's compile below looks it up no more
    const SymbolRecord& symbol = c.decl.symbols[s];
    if (symbol.kind == SymScalar) {
      ReportError(c, kErrNotPointer, "");
      e.failed = true;
      return false;
    }
    EmitOperand(c, b);
    K.type = e.terms[b].type;
    K.type.subscriptCount = 0;
    K.chainIsArray = symbol.isArray;
    // A string literal is an array of one dimension without a record of it.
    if (symbol.kind == SymArray && symbol.isArray != 1) K.type.dimCount = 1;
  }
  if (K.type.level < 1) {  // the value holds no address left to index
    ReportError(c, kErrNotPointer, "");
    e.failed = true;
    return false;
  }
  return !e.failed;
}

void AppendLoad(Compiler& c, int k) {
  c.expr.terms[k].addressOnly = false;
  TypeInfo& t = c.expr.terms[k].type;
  if (t.level > 0) --t.level;
  AppendCodeLineNumber(c, k, "peek ", t.level > 0 ? 4 : t.sizes[0]);
}

void ScaleAndLoad(Compiler& c, int k) {
  ExprTerm& K = c.expr.terms[k];
  TypeInfo& t = K.type;
  std::int64_t scale = SizeAtLevel(t, t.level - 1);
  if (K.chainIsArray == 1) {
    int stride = t.subscriptCount >= 0 && t.subscriptCount < 10 ? t.strides[t.subscriptCount] : 1;
    scale = static_cast<std::int32_t>(static_cast<std::uint32_t>(scale * stride));
  }
  if (scale != 1) {
    AppendCodeLineNumber(c, k, "push_parameter ", scale);
    AppendCode(c, k, "mul 4\r\n");
  }
  AppendCode(c, k, "add 4\r\n");
  K.addressOnly = true;
  if (t.dimCount == t.subscriptCount + 1) {
    AppendLoad(c, k);
  } else {
    ++t.subscriptCount;
  }
  if (t.kind == SymPointer && t.subscriptCount == 1) AppendLoad(c, k);
}

}  // namespace

void EmitSubscript(Compiler& c, int k) {
  ExprState& e = c.expr;
  e.terms[k].code.clear();
  int close = FindMatchingBracket(c, k);
  if (close < 0) return;
  int b = PreviousPendingTerm(c, k, e.rangeFirst);
  if (b < 0) {
    StopExpression(c, "[");
    return;
  }
  if (!StartSubscript(c, k, b)) return;
  AppendCodeReference(c, k, b);
  int v = EvaluateRange(c, k + 1, close - 1);
  if (v < 0) return;
  if (v == close) {  // "[]" holds no index
    StopExpression(c, "[]");
    return;
  }
  AppendCodeReference(c, k, v);
  e.terms[v].state = 2;
  e.terms[k].state = 1;
  e.terms[close].state = 2;
  e.terms[b].state = 2;
  ScaleAndLoad(c, k);
}

}  // namespace stackcc
