// Small text operations shared by every stage.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/bytes.h"
#include "base/fixed_text.h"

namespace stackcc {

// The mark that joins a local's name to its function's name ("x_func_main"):
// locals are stored so, and reports show the name before it.
constexpr std::string_view kFunctionMark = "_func_";

// FNV-1a over the bytes, continuing from h: the hash of the name indices.
constexpr unsigned kHashSeed = 2166136261u;
inline unsigned HashBytes(std::string_view s, unsigned h = kHashSeed) {
  for (char ch : s) {
    h ^= static_cast<unsigned char>(ch);
    h *= 16777619u;
  }
  return h;
}

// Byte equality for the short texts compared on every statement (names,
// labels, keywords, statement texts): eight bytes at a time, no library call.
inline bool SameBytes(const char* a, const char* b, std::size_t n) {
  for (; n >= 8; a += 8, b += 8, n -= 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a, 8);
    std::memcpy(&y, b, 8);
    if (x != y) return false;
  }
  if (n >= 4) {
    std::uint32_t x, y, u, v;
    std::memcpy(&x, a, 4);
    std::memcpy(&y, b, 4);
    std::memcpy(&u, a + n - 4, 4);
    std::memcpy(&v, b + n - 4, 4);
    return x == y && u == v;
  }
  for (; n > 0; ++a, ++b, --n) {
    if (*a != *b) return false;
  }
  return true;
}
inline bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && SameBytes(a.data(), b.data(), a.size());
}

// The text without leading and trailing spaces (0x20 only).
inline std::string_view TrimSpaces(std::string_view text) {
  std::size_t b = 0;
  while (b < text.size() && text[b] == ' ') ++b;
  std::size_t e = text.size();
  while (e > b && text[e - 1] == ' ') --e;
  return text.substr(b, e - b);
}

// In place: trailing spaces are cut off the caller's text; the result starts at
// the first non-space.
template <std::size_t N>
std::string_view TrimSpaces(FixedText<N>& text) {
  std::size_t e = text.size();
  while (e > 0 && text[e - 1] == ' ') --e;
  text.truncate(e);
  return TrimSpaces(text.view());
}

// Skips leading spaces and tabs, then cuts at the first control byte.
inline std::string_view TrimValue(std::string_view text) {
  std::size_t b = 0;
  while (b < text.size() && (text[b] == ' ' || text[b] == '\t')) ++b;
  std::size_t e = b;
  while (e < text.size() && !IsControl(text[e])) ++e;
  return text.substr(b, e - b);
}

// Replaces count characters at pos by insert. The result must fit in limit
// characters (and in the text); otherwise what fits is kept and false returned.
template <std::size_t N>
bool SpliceText(FixedText<N>& text, std::size_t pos, std::size_t count, std::string_view insert,
                std::size_t limit = 1023) {
  bool ok = text.splice(pos, count, insert);
  if (text.size() > limit) {
    text.truncate(limit);
    ok = false;
  }
  return ok;
}

template <std::size_t N>
bool AppendLineEnd(FixedText<N>& text) {
  return text.append("\r\n");
}

// Decimal reading as the C library's atoi does it: leading blanks, an optional
// sign, digits; 0 when no digit comes first. Out-of-range values wrap as the
// C library's conversion to int does, never overflowing.
int ReadDecimal(std::string_view text);

// A byte's value as three decimal digits with leading zeros ('A' is "065"):
// how a string's characters stand in data texts.
struct CharacterCode {
  char digits[3];
  std::string_view view() const { return std::string_view(digits, 3); }
};
inline CharacterCode CodeOf(char ch) {
  int v = static_cast<unsigned char>(ch);
  return {{static_cast<char>('0' + v / 100), static_cast<char>('0' + v / 10 % 10),
           static_cast<char>('0' + v % 10)}};
}

}  // namespace stackcc
