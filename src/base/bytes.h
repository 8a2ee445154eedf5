// Character classes of the language. Bytes are compared as signed 8-bit values
// whatever the platform's plain char is, so 0x80-0xFF count as control bytes.
#pragma once

#include <string_view>

namespace stackcc {

inline int SignedByte(char ch) {
  return static_cast<signed char>(ch);
}

// Blank: space, every control byte including NUL, CR and LF, and 0x80-0xFF.
inline bool IsBlank(char ch) {
  return SignedByte(ch) <= 0x20;
}
// A text of blanks only (the empty text too).
inline bool IsBlankText(std::string_view text) {
  for (char ch : text) {
    if (!IsBlank(ch)) return false;
  }
  return true;
}
// Control: below the space (0x80-0xFF included).
inline bool IsControl(char ch) {
  return SignedByte(ch) < 0x20;
}
constexpr bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}
constexpr bool IsLetter(char ch) {
  return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}
// Letters, digits and '_', by table: this test runs for every byte of every
// word the scanner and the preprocessor read.
struct NameCharTable {
  bool accepts[256] = {};
  constexpr NameCharTable() {
    for (int b = 0; b < 256; ++b) {
      char ch = static_cast<char>(b);
      accepts[b] = IsLetter(ch) || IsDigit(ch) || ch == '_';
    }
  }
};
inline constexpr NameCharTable kNameChars{};

inline bool IsNameChar(char ch) {
  return kNameChars.accepts[static_cast<unsigned char>(ch)];
}

}  // namespace stackcc
