// The tables behind operator marking and the lexer: the long operator names by
// their first byte, the one-character names by byte, the byte classes of
// operand text and every operator's marker.
#pragma once

#include <cstddef>
#include <string_view>

#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "expr/operator_table.h"

namespace stackcc::marking {

constexpr std::size_t kMarkedLimit = kTermTextCapacity - 1;
constexpr int kLongestName = 7;
constexpr int kMaxLongPerFirst = 8;

constexpr std::string_view NameAt(int index) {
  return std::string_view(kOperatorTable[index].name);
}

struct Marker {
  char bytes[4] = {};
  unsigned char size = 0;
};

// The long names by their first byte, in table order; one-character names by
// byte; every marker text.
struct MarkingTables {
  unsigned char longCount[256] = {};
  unsigned char longIndex[256][kMaxLongPerFirst] = {};
  unsigned char oneChar[256] = {};  // table index, 0 for none
  unsigned char nameLength[kOperatorEntries] = {};
  // A byte that is copied as it stands and ends a unary place: no blank, no
  // operator's name, no star or ampersand (operand text).
  bool plain[256] = {};
  // Plain and no long name's first byte: a run of operand text goes on.
  bool operandOnly[256] = {};
  Marker markers[kOperatorEntries] = {};
};

constexpr MarkingTables BuildTables() {
  MarkingTables t;
  for (int b = 0; b < 256; ++b) t.plain[b] = static_cast<signed char>(b) > 0x20;
  for (int i = 0; i < kOperatorEntries; ++i) {
    std::string_view name = NameAt(i);
    if (name.size() == 1) t.plain[static_cast<unsigned char>(name[0])] = false;
    Marker& m = t.markers[i];
    m.bytes[m.size++] = kOperatorMarkerByte;
    if (i >= 10) m.bytes[m.size++] = static_cast<char>('0' + i / 10);
    m.bytes[m.size++] = static_cast<char>('0' + i % 10);
    m.bytes[m.size++] = ' ';
    t.nameLength[i] = static_cast<unsigned char>(name.size());
    if (name.empty()) continue;
    unsigned char first = static_cast<unsigned char>(name[0]);
    if (name.size() == 1) {
      t.oneChar[first] = static_cast<unsigned char>(i);
    } else {
      t.longIndex[first][t.longCount[first]++] = static_cast<unsigned char>(i);
    }
  }
  for (int b = 0; b < 256; ++b) t.operandOnly[b] = t.plain[b] && t.longCount[b] == 0;
  return t;
}

inline constexpr MarkingTables kTables = BuildTables();

constexpr bool TablesFit() {
  for (int i = 0; i < kOperatorEntries; ++i) {
    if (NameAt(i).size() > static_cast<std::size_t>(kLongestName)) return false;
  }
  for (int i = 0; i < kOperatorEntries; ++i) {
    std::size_t name = NameAt(i).size();
    if (name > 1 && kTables.markers[i].size > name + 2) return false;
  }
  for (int b = 0; b < 256; ++b) {
    if (kTables.longCount[b] > kMaxLongPerFirst) return false;
  }
  // The name of a unary star or ampersand never stands in the text as written.
  return kTables.oneChar[static_cast<unsigned char>(kOperatorMarkerByte)] == 0;
}
static_assert(TablesFit(), "operator names outgrow the marking tables");

// Whether the long name at index stands in the text at i, its first byte
// being known to match.
inline bool LongNameAt(std::string_view text, std::size_t i, int index) {
  const std::size_t length = kTables.nameLength[index];
  if (length > text.size() - i) return false;
  const char* name = kOperatorTable[index].name;
  for (std::size_t k = 1; k < length; ++k) {
    if (text[i + k] != name[k]) return false;
  }
  return true;
}

// The long name standing at i: its index, -1 for none, -2 when two stand there.
inline int LongNameStartingAt(std::string_view text, std::size_t i) {
  unsigned char first = static_cast<unsigned char>(text[i]);
  int found = -1;
  for (int n = 0; n < kTables.longCount[first]; ++n) {
    int index = kTables.longIndex[first][n];
    if (!LongNameAt(text, i, index)) continue;
    if (found >= 0) return -2;
    found = index;
  }
  return found;
}

// The operator that a byte of neither operand text nor a long name stands for:
// a one-character name, a star or ampersand unary or binary by the place before
// it; 0 for a blank, which changes no place. unaryPlace becomes the place
// after it.
inline int ShortNameAt(unsigned char b, bool& unaryPlace) {
  int index = kTables.oneChar[b];
  if (b == '*') {
    index = unaryPlace ? kOpDeref : kOpMul;
  } else if (b == '&') {
    index = unaryPlace ? kOpAddress : kOpBitAnd;
  }
  if (index > 0) unaryPlace = b == '*' || b == '&' || kOperatorTable[index].precedence > 0;
  return index;
}

}  // namespace stackcc::marking
