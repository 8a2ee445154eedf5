// Character classes of the language. Bytes are compared as signed 8-bit values
// whatever the platform's plain char is, so 0x80-0xFF count as control bytes.
#pragma once

namespace stackcc {

inline int SignedByte(char ch) {
  return static_cast<signed char>(ch);
}

// Blank: space, every control byte including NUL, CR and LF, and 0x80-0xFF.
inline bool IsBlank(char ch) {
  return SignedByte(ch) <= 0x20;
}
// Control: below the space (0x80-0xFF included).
inline bool IsControl(char ch) {
  return SignedByte(ch) < 0x20;
}
inline bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}
inline bool IsLetter(char ch) {
  return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}
inline bool IsNameChar(char ch) {
  return IsLetter(ch) || IsDigit(ch) || ch == '_';
}

}  // namespace stackcc
