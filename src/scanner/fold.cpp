// Constant folding in bracket text: evaluates *, /, + and - between literal
// numbers in a copy of the text, one operator after the other, left to right.
// No state.
#include "scanner/fold.h"

#include "base/bytes.h"
#include "base/text_helpers.h"

namespace stackcc {

namespace {

constexpr std::size_t kOperandLimit = 19;  // digits with their sign
using FoldText = FixedText<1028>;

bool ParseOperand(std::string_view digits, long long* value) {
  if (digits.empty() || digits.size() > kOperandLimit) return false;
  bool negative = digits[0] == '-';
  long long v = 0;
  for (std::size_t i = negative ? 1 : 0; i < digits.size(); ++i) {
    if (__builtin_mul_overflow(v, 10, &v) || __builtin_add_overflow(v, digits[i] - '0', &v)) {
      return false;
    }
  }
  *value = negative ? -v : v;
  return *value != 0;  // a 0 cannot be told from a missing operand
}

// The number just before the operator, and where it starts.
bool LeftOperand(const FoldText& t, std::size_t op, long long* value, std::size_t* start) {
  long long p = static_cast<long long>(op) - 1;
  while (p >= 0 && t[p] == ' ') --p;
  long long end = p;
  while (p >= 0 && IsDigit(t[p])) --p;
  if (p == end) return false;
  if (p >= 0 && t[p] == '-') --p;
  *start = static_cast<std::size_t>(p + 1);
  if (p >= 0 && (IsNameChar(t[p]) || t[p] == ':')) return false;
  return ParseOperand(t.view().substr(*start, static_cast<std::size_t>(end - p)), value);
}

// The number just after the operator, and where its last digit stands.
bool RightOperand(const FoldText& t, std::size_t op, long long* value, std::size_t* last) {
  std::size_t p = op + 1;
  while (t[p] == ' ') ++p;
  std::size_t begin = p;
  if (t[p] == '-') ++p;
  std::size_t digits = p;
  while (IsDigit(t[p])) ++p;
  if (p == digits) return false;
  char after = t[p];
  if (IsLetter(after) || after == '_' || after == ':') return false;
  *last = p - 1;
  return ParseOperand(t.view().substr(begin, p - begin), value);
}

bool Apply(char op, long long a, long long b, long long* result) {
  switch (op) {
    case '*':
      return !__builtin_mul_overflow(a, b, result);
    case '/':
      *result = a / b;  // b is never 0: a 0 operand stops folding
      return !(a == INT64_MIN && b == -1);
    case '+':
      return !__builtin_add_overflow(a, b, result);
    default:
      return !__builtin_sub_overflow(a, b, result);
  }
}

// Folds the whole text in four stages; any operand that is no number stops it.
void Fold(FoldText& t) {
  if (t.find('"') != FoldText::npos) return;
  for (char op : {'*', '/', '+', '-'}) {
    std::size_t from = 0;
    for (;;) {
      std::size_t k = t.find(op, from);
      if (k == FoldText::npos) break;
      long long a = 0, b = 0, result = 0;
      std::size_t start = 0, last = 0;
      if (!LeftOperand(t, k, &a, &start) || !RightOperand(t, k, &b, &last)) return;
      if (!Apply(op, a, b, &result)) return;
      FixedText<24> digits;
      digits.append_number(result);
      t.splice(start, last - start + 1, digits.view());
      from = start + digits.size();
    }
  }
}

}  // namespace

void FoldConstants(FixedText<32>& text) {
  FoldText work(text.view());
  Fold(work);
  text.assign(work.view());
}

}  // namespace stackcc
