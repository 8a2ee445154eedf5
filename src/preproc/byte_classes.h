// The classes of the bytes Pass 1 reads, by table, and the walk's stop table:
// the bytes at which the walk over a source line has to look closer. Every
// other byte is copied with the run it stands in.
#pragma once

#include <array>
#include <cstdint>

#include "base/bytes.h"

namespace stackcc {

enum class ByteClass : std::uint8_t {
  kOther,      // copied as it stands
  kBlank,      // space and the control bytes the reader keeps as blanks
  kLineEnd,    // LF: the line ends before it
  kNul,        // NUL: what follows on the line is not kept
  kSlash,      // '/': may open a comment
  kQuote,      // '\'': may open a character constant
  kHash,       // '#': may open a directive
  kDigit,      // a name character that begins no name
  kNamePart,   // '_': a name character that begins no name
  kNameStart,  // a letter
};

constexpr ByteClass ClassOf(unsigned char b) {
  char ch = static_cast<char>(b);
  if (ch == '\n') return ByteClass::kLineEnd;
  if (ch == '\0') return ByteClass::kNul;
  if (ch == '/') return ByteClass::kSlash;
  if (ch == '\'') return ByteClass::kQuote;
  if (ch == '#') return ByteClass::kHash;
  if (IsDigit(ch)) return ByteClass::kDigit;
  if (ch == '_') return ByteClass::kNamePart;
  if (IsLetter(ch)) return ByteClass::kNameStart;
  if (static_cast<signed char>(b) <= 0x20) return ByteClass::kBlank;
  return ByteClass::kOther;
}

using ByteClassTable = std::array<ByteClass, 256>;

constexpr ByteClassTable MakeByteClasses() {
  ByteClassTable t{};
  for (int b = 0; b < 256; ++b) t[b] = ClassOf(static_cast<unsigned char>(b));
  return t;
}
inline constexpr ByteClassTable kByteClasses = MakeByteClasses();

// The walk's stops: 1 for a byte it must look at. Line ends, NULs, slashes and
// quotes always stop it; a letter stops it only once a define name begins with
// it (the define table sets those as names are added).
using WalkStops = std::array<std::uint8_t, 256>;

constexpr WalkStops MakeWalkStops() {
  WalkStops t{};
  for (int b = 0; b < 256; ++b) {
    ByteClass k = kByteClasses[b];
    t[b] = k == ByteClass::kLineEnd || k == ByteClass::kNul || k == ByteClass::kSlash ||
           k == ByteClass::kQuote;
  }
  return t;
}
inline constexpr WalkStops kPlainWalkStops = MakeWalkStops();

}  // namespace stackcc
