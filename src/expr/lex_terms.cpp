// The lexer's terms: each operator token becomes an operator term, each operand
// token an operand term, trimmed as the marked text's runs between markers are
// (spaces before it, blanks and control bytes after it). A minus that follows a
// binary or grouping operator, or that comes first, is a sign and joins the next
// operand.
#include <string_view>

#include "base/bytes.h"
#include "base/compiler.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"

namespace stackcc {

namespace {

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

// The run of operand text a token covers, trimmed; makesTerm tells whether it
// gives a term. A run of spaces only is passed over even after a sign.
std::string_view OperandText(std::string_view run, bool sign, bool& makesTerm) {
  std::size_t start = 0;
  while (start < run.size() && run[start] == ' ') ++start;
  run.remove_prefix(start);
  makesTerm = false;
  if (run.empty()) return run;
  while (!run.empty() && IsBlank(run.back())) run.remove_suffix(1);
  makesTerm = !run.empty() || sign;  // control bytes only: no operand
  return run;
}

}  // namespace

ExprTerm* NewTerm(Compiler& c, int op) {
  ExprState& e = c.expr;
  if (e.lastTermIndex + 1 >= kTermCount) {
    ReportError(c, kErrTermTableFull, "");
    e.failed = true;
    return nullptr;
  }
  ExprTerm& t = e.terms.Take(++e.lastTermIndex);
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

int LexTerms(Compiler& c, std::string_view text, bool reset, bool references) {
  ExprState& e = c.expr;
  LexTokens tokens;
  if (!LexOperators(c, text, tokens)) {
    e.failed = true;
    return -1;
  }
  if (reset) e.lastTermIndex = -1;
  bool sign = false;
  int previousOp = kOpNull;
  for (int n = 0; n < tokens.count && !e.failed; ++n) {
    const LexToken& token = tokens.list[n];
    if (token.op >= 0) {
      int k = token.op;
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
    bool makesTerm;
    std::string_view operand = OperandText(text.substr(token.start, token.length), sign, makesTerm);
    if (!makesTerm) continue;
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
