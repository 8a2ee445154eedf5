// Numbers as they appear in operands, data lines and scripts.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace stackvm {

struct ParsedNumber {
  uint64_t bits = 0;  // the value modulo 2^64
  bool negative = false;
  bool huge = false;  // the magnitude does not fit in 64 bits
  uint64_t magnitude = 0;

  // True when the value lies in [low, high].
  bool within(int64_t low, uint64_t high) const;
  uint32_t low32() const { return static_cast<uint32_t>(bits); }
};

// Decimal, or hexadecimal after 0x/0X; a leading 0 is still decimal; an
// optional leading minus; trailing u, U, l, L are ignored. Anything else,
// including an empty digit string, gives nothing.
std::optional<ParsedNumber> parseNumber(std::string_view text);

// True when the text starts like a number (a digit, or a minus and a digit).
bool looksNumeric(std::string_view text);

}  // namespace stackvm
