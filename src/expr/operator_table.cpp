// Lookups in the operator table by name.
#include "expr/operator_table.h"

#include <string_view>

#include "base/compiler.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"

namespace stackcc {

namespace {

int FindEntry(std::string_view name) {
  for (int i = 0; i < kOperatorEntries; ++i) {
    if (name == kOperatorTable[i].name) return i;
  }
  return -1;
}

}  // namespace

int OperatorPrecedence(std::string_view text) {
  int i = FindEntry(text);
  return i < 0 ? 0 : kOperatorTable[i].precedence;
}

int OperatorIndex(Compiler& c, std::string_view name) {
  int i = FindEntry(name);
  if (i < 0) ReportError(c, kErrArray, "Operator unknow");
  return i;
}

std::string_view OperatorShownName(int index) {
  if (index == kOpDeref) return "*";
  if (index == kOpAddress) return "&";
  return OperatorAt(index).name;
}

}  // namespace stackcc
