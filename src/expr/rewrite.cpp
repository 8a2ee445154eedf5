// Increments and compound assignments are compiled as plain assignments: the text
// "@L=@L+1" (or "+@R", ...) is lexed into terms after the statement's last term,
// and only those new terms are evaluated, so the operator's own place in a larger
// expression is kept. Its "@n" operands copy the operand terms afresh.
#include "base/compiler.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"

namespace stackcc {

int RewriteAndEvaluate(Compiler& c, std::string_view text, int k) {
  ExprState& e = c.expr;
  if (e.failed) return -1;
  int first = e.lastTermIndex + 1;
  int last = LexTerms(c, text, false, true);
  if (last < first) return -1;
  int root = EvaluateRange(c, first, last);
  if (root < 0) return -1;
  ExprTerm& K = e.terms[k];
  K.type = e.terms[root].type;
  K.code.clear();
  AppendCodeReference(c, k, root);
  e.terms[root].state = 2;
  return root;
}

}  // namespace stackcc
