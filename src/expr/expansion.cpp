// Expanding a term's code: the terms its references name are expanded first, in
// order, then the term's own lines follow. References are not used up, so a term
// referenced twice (the target of a rewritten increment) is written twice with
// everything below it; a reference back to a term still being expanded (which
// only a source text holding "@" can produce) expands to nothing.
#include "base/bytes.h"
#include "base/compiler.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"

namespace stackcc {

void ExpandCode(Compiler& c, int index) {
  ExprState& e = c.expr;
  if (e.failed || index < 0 || index > e.lastTermIndex) return;
  ExprTerm& t = e.terms[index];
  if ((t.op == kOpNull && t.text.empty()) || t.expanding) return;
  t.expanding = true;
  std::string_view code = t.code.view();
  std::size_t pos = 0;
  while (pos + 1 < code.size() && code[pos] == '@' && IsDigit(code[pos + 1]) && !e.failed) {
    int target = 0;
    for (++pos; pos < code.size() && IsDigit(code[pos]); ++pos) {
      if (target < kTermCount) target = target * 10 + (code[pos] - '0');
    }
    ExpandCode(c, target);
  }
  if (!e.failed && !e.output.append(code.substr(pos))) {
    ReportError(c, kErrStatementOutput, "");
    e.failed = true;
  }
  t.expanding = false;
}

}  // namespace stackcc
