// Stopping a statement: on an expression error (StopExpression), and on a
// term's code grown beyond 4095 characters (CodeOverflow). Owns no state but
// the failed flag of c.expr that both set.
#include "base/compiler.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"

namespace stackcc {

void StopExpression(Compiler& c, std::string_view detail, int code) {
  if (c.expr.failed) return;
  ReportError(c, code, detail);
  c.expr.failed = true;
}

void CodeOverflow(Compiler& c, int index, std::string_view a, std::string_view b,
                  std::string_view d) {
  auto& code = c.expr.terms[index].code;
  code.append(a);
  code.append(b);
  code.append(d);
  ReportError(c, kErrCodeLength, "");
  c.expr.failed = true;
}

}  // namespace stackcc
