// Parentheses: after a name they make a call, anywhere else a group. A call
// compiles its arguments from the last to the first (so the first argument ends
// up on top), pushes the function's address and jumps with "gosub". A function
// called before it is known is declared with the number of arguments of that call.
#include "base/bytes.h"
#include "base/compiler.h"
#include "decl/tables.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"

namespace stackcc {

namespace {

void EmitGroup(Compiler& c, int k) {
  ExprState& e = c.expr;
  int close = FindMatchingBracket(c, k);
  if (close < 0) return;
  int v = EvaluateRange(c, k + 1, close - 1);
  if (v < 0) return;
  if (v == close) {  // "()" holds no value
    StopExpression(c, "()");
    return;
  }
  e.terms[k].code.clear();
  AppendCodeReference(c, k, v);
  e.terms[v].state = 2;
  e.terms[close].state = 2;
  e.terms[k].state = 1;
  e.terms[k].type = e.terms[v].type;
}

// Compiles the arguments between k and close, last first; gives their number or
// -1 when the statement stopped.
int EmitArguments(Compiler& c, int k, int close) {
  ExprState& e = c.expr;
  int count = 0;
  int end = close;
  int start;
  do {
    start = FindArgumentStart(c, end - 1, k);
    if (start < 0) return -1;  // cannot happen: k itself is a "(" at depth 0
    int v = EvaluateRange(c, start + 1, end - 1);
    if (v < 0) return -1;
    if (v != end) {
      ++count;
      AppendCodeReference(c, k, v);
      e.terms[v].state = 2;
    }
    e.terms[start].state = 2;
    end = start;
  } while (start != k);
  return count;
}

void CheckCallee(Compiler& c, int callee, int count) {
  int s = TermSymbol(c, callee, false);
  std::string_view name = c.expr.terms[callee].text.view();
  if (s == 0) {
    NameBuffer declared(name);
    DeclareSymbol(c, declared, 4, SymFunction, 0, 1, 0, "", 0, count);
    return;
  }
  const SymbolRecord& r = c.decl.symbols[s];
  if (r.paramCount >= 0 && r.paramCount != count) ReportError(c, kErrParamCount, name);
}

}  // namespace

void EmitCall(Compiler& c, int k) {
  ExprState& e = c.expr;
  int b = PreviousPendingTerm(c, k, e.rangeFirst);
  if (b < 0 || e.terms[b].op != kOpNull) {
    EmitGroup(c, k);
    return;
  }
  std::string_view name = e.terms[b].text.view();
  if (name.empty() || (!IsLetter(name[0]) && name[0] != '_')) {
    StopExpression(c, name);  // only a name can be called
    return;
  }
  int close = FindMatchingBracket(c, k);
  if (close < 0) return;
  e.terms[close].state = 2;
  e.terms[k].code.clear();
  int count = EmitArguments(c, k, close);
  if (count < 0) return;
  CheckCallee(c, b, count);
  e.terms[k].state = 1;
  EmitOperand(c, b);
  AppendCode(c, b, "gosub\r\n");
  NoteCall(c, e.terms[b].symbol);
  e.terms[k].type = e.terms[b].type;
  const ExprTerm& callee = e.terms[b];
  if (callee.type.kind == SymFunction && callee.symbol > 0) {
    // The call's value has the return size; the name alone was an address.
    SetTermSize(c, k, c.decl.symbols[callee.symbol].sizes[0]);
  }
  AppendCodeReference(c, k, b);
}

}  // namespace stackcc
