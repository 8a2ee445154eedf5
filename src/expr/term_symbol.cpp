// Name lookups of the expression compiler: a term keeps the record its text
// was found as, so a name is looked up once however many steps read it.
#include "decl/tables.h"
#include "expr/expression_parts.h"

namespace stackcc {

int TermSymbol(Compiler& c, int index, bool reportMissing) {
  ExprTerm& t = c.expr.terms[index];
  if (t.symbol > 0) return t.symbol;
  int found = LookUpSymbol(c, t.text.view());
  if (found < 0) {
    if (reportMissing) ReportError(c, kErrNotFound, t.text.view());
    found = 0;
  }
  t.symbol = found;
  return found;
}

}  // namespace stackcc
