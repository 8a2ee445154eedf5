// Parsing numbers of operands, data lines and scripts: decimal or 0x
// hexadecimal, sign, suffixes, and whether the value fits 32 bits. No state.
#include "vm/numbers.h"

namespace stackvm {

namespace {

int digitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}

std::string_view stripSuffixes(std::string_view text) {
  while (!text.empty()) {
    char c = text.back();
    if (c != 'u' && c != 'U' && c != 'l' && c != 'L') break;
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

bool ParsedNumber::within(int64_t low, uint64_t high) const {
  if (huge) return false;
  if (!negative) return magnitude <= high && (low <= 0 || magnitude >= static_cast<uint64_t>(low));
  if (low >= 0) return magnitude == 0;
  return magnitude <= static_cast<uint64_t>(-(low + 1)) + 1;
}

bool looksNumeric(std::string_view text) {
  if (!text.empty() && text[0] == '-') text.remove_prefix(1);
  return !text.empty() && text[0] >= '0' && text[0] <= '9';
}

std::optional<ParsedNumber> parseNumber(std::string_view text) {
  ParsedNumber n;
  if (!text.empty() && text[0] == '-') {
    n.negative = true;
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  text = stripSuffixes(text);
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    int d = digitValue(c, base);
    if (d < 0) return std::nullopt;
    if (n.magnitude > (UINT64_MAX - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) {
      n.huge = true;
    }
    n.magnitude = n.magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
  }
  n.bits = n.negative ? 0 - n.magnitude : n.magnitude;
  return n;
}

}  // namespace stackvm
