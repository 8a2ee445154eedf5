// Splitting a marked text into terms: each marker becomes an operator term, each
// run of text between markers an operand term. A minus that follows a binary or
// grouping operator, or that comes first, is a sign and joins the next operand.
#include <string_view>

#include "base/bytes.h"
#include "base/compiler.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"

namespace stackcc {

namespace {

// Takes the next term slot and resets only what a term holds.
ExprTerm* NewTerm(Compiler& c, int op) {
  ExprState& e = c.expr;
  if (e.lastTermIndex + 1 >= kTermCount) {
    ReportError(c, kErrTermTableFull, "");
    e.failed = true;
    return nullptr;
  }
  ExprTerm& t = e.terms[++e.lastTermIndex];
  t.op = op;
  t.precedence = OperatorAt(op).precedence;
  t.text.clear();
  t.type = TypeInfo{};
  t.code.clear();
  t.state = 0;
  t.ref = -1;
  t.unresolved = false;
  t.expanding = false;
  t.chainIsArray = 0;
  t.elementSize = 0;
  t.symbol = 0;
  t.addressOnly = false;
  return &t;
}

// "@" followed by digits only: the index of the term it names, else -1.
int ReferenceIndex(std::string_view text) {
  if (text.size() < 2 || text.size() > 4 || text[0] != '@') return -1;
  int value = 0;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

bool IsSignPosition(const Compiler& c, int previousOp) {
  char kind = OperatorAt(previousOp).kind;
  return kind == 'B' || kind == 'G' || c.expr.lastTermIndex == -1;
}

}  // namespace

int SplitTerms(Compiler& c, std::string_view marked, bool reset, bool references) {
  ExprState& e = c.expr;
  if (reset) e.lastTermIndex = -1;
  bool sign = false;
  int previousOp = kOpNull;
  std::size_t pos = 0;
  while (!e.failed) {
    while (pos < marked.size() && marked[pos] == ' ') ++pos;
    if (pos >= marked.size()) break;
    if (marked[pos] == kOperatorMarkerByte) {
      std::size_t digits = ++pos;
      int k = 0;
      while (pos < marked.size() && IsDigit(marked[pos]) && k < kOperatorEntries) {
        k = k * 10 + (marked[pos++] - '0');
      }
      if (pos == digits || k >= kOperatorEntries) {
        StopExpression(c, "");
        break;
      }
      if (k == kOpSub && IsSignPosition(c, previousOp)) {
        sign = true;
        continue;
      }
      ExprTerm* t = NewTerm(c, k);
      if (t == nullptr) break;
      if (k == kOpNull) {  // "NULL" is the number 0
        t->text.assign(sign ? "-0" : "0");
        sign = false;
      }
      previousOp = k;
      continue;
    }
    std::size_t end = marked.find(kOperatorMarkerByte, pos);
    if (end == std::string_view::npos) end = marked.size();
    std::string_view operand = marked.substr(pos, end - pos);
    pos = end;
    while (!operand.empty() && IsBlank(operand.back())) operand.remove_suffix(1);
    if (operand.empty() && !sign) continue;  // control bytes only: no operand
    ExprTerm* t = NewTerm(c, kOpNull);
    if (t == nullptr) break;
    if (sign) t->text.append('-');
    t->text.append(operand);
    sign = false;
    if (references) t->ref = ReferenceIndex(t->text.view());
    previousOp = kOpNull;
  }
  return e.failed ? -1 : e.lastTermIndex;
}

}  // namespace stackcc
