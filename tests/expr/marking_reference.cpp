// The first marking of operators, kept as the reference that the one-pass
// marking is checked against: three passes of whole-text searches, each
// replacement searched for again from the start. Slow, but plainly right.
#include "marking_reference.h"

#include <cstring>
#include <string_view>

#include "base/bytes.h"
#include "base/compiler.h"
#include "base/text_helpers.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"

namespace stackcc::testing {

namespace {

FixedText<8> MarkerText(int index) {
  FixedText<8> marker;
  marker.append(kOperatorMarkerByte);
  marker.append_number(index);
  marker.append(' ');
  return marker;
}

// Replaces every occurrence of the entry's name. A marker holds no character of
// any operator name, so the search may go on right after the marker it wrote.
bool ReplaceAll(Compiler& c, ExprText& text, int index) {
  std::string_view name = OperatorAt(index).name;
  FixedText<8> marker = MarkerText(index);
  for (std::size_t pos = text.find(name); pos != ExprText::npos;
       pos = text.find(name, pos + marker.size())) {
    if (!SpliceText(text, pos, name.size(), marker.view())) {
      ReportError(c, kErrExpressionLength, "");
      return false;
    }
  }
  return true;
}

// A star or ampersand is unary when nothing but blanks stands before it, when the
// character before it is a one-character operator that is ever applied, or when
// that character is the last digit of a marker.
bool IsUnaryPosition(const ExprText& text, std::size_t pos) {
  std::size_t j = pos;
  while (j > 0 && IsBlank(text[j - 1])) --j;
  if (j == 0) return true;
  char before = text[j - 1];
  if (IsDigit(before)) {
    std::size_t k = j - 1;
    while (k > 0 && IsDigit(text[k - 1])) --k;
    return k > 0 && text[k - 1] == kOperatorMarkerByte;
  }
  return OperatorPrecedence(std::string_view(&before, 1)) > 0;
}

bool MarkUnary(Compiler& c, ExprText& text, char symbol, std::string_view unaryName) {
  int index = OperatorIndex(c, unaryName);
  if (index < 0) return true;
  FixedText<8> marker = MarkerText(index);
  for (std::size_t pos = text.find(symbol); pos != ExprText::npos; pos = text.find(symbol, pos)) {
    if (!IsUnaryPosition(text, pos)) {
      ++pos;
      continue;
    }
    if (!SpliceText(text, pos, 1, marker.view())) {
      ReportError(c, kErrExpressionLength, "");
      return false;
    }
    pos += marker.size();
  }
  return true;
}

}  // namespace

bool ReferenceMarkOperators(Compiler& c, ExprText& text) {
  for (int i = 0; i < kOperatorEntries; ++i) {
    if (std::strlen(OperatorAt(i).name) > 1 && !ReplaceAll(c, text, i)) return false;
  }
  if (!MarkUnary(c, text, '*', ":*") || !MarkUnary(c, text, '&', ":&")) return false;
  for (int i = 0; i < kOperatorEntries; ++i) {
    if (std::strlen(OperatorAt(i).name) == 1 && !ReplaceAll(c, text, i)) return false;
  }
  return true;
}

}  // namespace stackcc::testing

namespace stackcc::testing {

namespace {

bool IsSignPosition(const Compiler& c, int previousOp) {
  char kind = OperatorAt(previousOp).kind;
  return kind == 'B' || kind == 'G' || c.expr.lastTermIndex == -1;
}

}  // namespace

// Each marker becomes an operator term (its index read back from the digits),
// each run of text between markers an operand term.
int ReferenceSplitTerms(Compiler& c, std::string_view marked, bool reset, bool references) {
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
      if (k == kOpNull) {
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
    if (operand.empty() && !sign) continue;
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

}  // namespace stackcc::testing
