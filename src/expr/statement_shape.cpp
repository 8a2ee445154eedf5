#include "expr/statement_shape.h"

#include "driver/bytes.h"

namespace stackcc {

namespace {

// "9", nine zeros and the last digits of the rank (below kShapeNumbers).
void AppendStandIn(ShapeText& out, int rank) {
  static_assert(kShapeNumbers <= 100, "a rank takes the last two digits");
  char digits[kStandInLength] = {'9', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0'};
  digits[kStandInLength - 2] = static_cast<char>('0' + rank / 10);
  digits[kStandInLength - 1] = static_cast<char>('0' + rank % 10);
  out.append(std::string_view(digits, kStandInLength));
}

}  // namespace

bool ShapeOf(std::string_view text, StatementShape& shape, ShapeText& out) {
  shape.count = 0;
  out.clear();
  std::size_t copied = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (!IsDigit(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && IsDigit(text[end])) ++end;
    // A run as long as a stand-in could be read as one.
    if (end - i >= kStandInLength) return false;
    bool alone = (i == 0 || (!IsNameChar(text[i - 1]) && text[i - 1] != '+')) &&
                 (end == text.size() || !IsNameChar(text[end]));
    if (!alone) {
      i = end;  // part of a name, or a number written with letters: kept as it is
      continue;
    }
    if (shape.count == kShapeNumbers || text.size() > 0xFFFF) return false;
    shape.numbers[shape.count] = {static_cast<std::uint16_t>(i),
                                  static_cast<std::uint16_t>(end - i)};
    out.append(text.substr(copied, i - copied));
    AppendStandIn(out, shape.count++);
    copied = i = end;
  }
  return out.append(text.substr(copied)) && out.size() < ShapeText::kCapacity;
}

int StandInBefore(std::string_view code, std::size_t end, int count) {
  if (end < kStandInLength + 1) return -1;
  std::size_t start = end - kStandInLength;
  char before = code[start - 1];
  if (code[start] != '9' || (before != ' ' && before != '-')) return -1;
  int rank = 0;
  for (std::size_t i = start + 1; i < end; ++i) {
    if (!IsDigit(code[i])) return -1;
    if (rank < count) rank = rank * 10 + (code[i] - '0');
  }
  return rank < count ? rank : -1;
}

}  // namespace stackcc
