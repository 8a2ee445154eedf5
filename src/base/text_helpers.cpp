// The text helpers that are not inline: decimal reading as the C library does
// it. No state.
#include "base/text_helpers.h"

#include <climits>

namespace stackcc {

int ReadDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  unsigned long long magnitude = 0;
  bool saturated = false;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    if (magnitude > (ULLONG_MAX - 9) / 10) {
      saturated = true;
      continue;
    }
    magnitude = magnitude * 10 + static_cast<unsigned>(text[i] - '0');
  }
  // As the C library: the value is read as a long (saturating), then narrowed.
  long long value;
  if (negative) {
    value = (saturated || magnitude > static_cast<unsigned long long>(LLONG_MAX))
                ? LLONG_MIN
                : -static_cast<long long>(magnitude);
  } else {
    value = (saturated || magnitude > static_cast<unsigned long long>(LLONG_MAX))
                ? LLONG_MAX
                : static_cast<long long>(magnitude);
  }
  return static_cast<int>(static_cast<unsigned long long>(value) & 0xFFFFFFFFULL);
}

}  // namespace stackcc
