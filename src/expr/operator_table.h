// The operator table: names as searched for in the text, precedence, kind, type
// rule and pointer scaling. Index 0 doubles as "no operator" (an operand). The
// table is a compile-time constant so that lookups built from it are too.
#pragma once

#include "expr/expression.h"

namespace stackcc {

inline constexpr OperatorEntry kOperatorTable[kOperatorEntries] = {
    {"NULL", 0, 0, 0, 0},       {"(", 100, 'G', 0, 0},      {")", 0, 0, 0, 0},
    {"[", 100, 'G', 0, 0},      {"]", 0, 0, 0, 0},          {"!", 95, 'R', 0, 0},
    {"~", 95, 'R', 0, 0},       {"++", 95, 'L', 0, 0},      {"--", 95, 'L', 0, 0},
    {":*", 95, 'R', 0, 0},      {":&", 95, 'R', 0, 0},      {"sizeof", 95, 'R', 0, 0},
    {"*", 90, 'B', 1, 0},       {"/", 90, 'B', 1, 0},       {"%", 90, 'B', 1, 0},
    {"+", 85, 'B', 1, 1},       {"-", 85, 'B', 1, 1},       {"<<", 80, 'B', 3, 0},
    {">>", 80, 'B', 3, 0},      {"<", 75, 'B', 4, 0},       {"<=", 75, 'B', 4, 0},
    {">", 75, 'B', 4, 0},       {">=", 75, 'B', 4, 0},      {"==", 70, 'B', 4, 0},
    {"!=", 70, 'B', 4, 0},      {"&", 65, 'B', 1, 0},       {"^", 60, 'B', 1, 0},
    {"|", 55, 'B', 1, 0},       {"&&", 50, 'B', 4, 0},      {"||", 45, 'B', 4, 0},
    {"?", 40, 0, 0, 0},         {"=", 35, 'B', 2, 0},       {"+=", 35, 'B', 0, 0},
    {"-=", 35, 'B', 0, 0},      {"*=", 35, 'B', 0, 0},      {"/=", 35, 'B', 0, 0},
    {",", 30, 'B', 0, 0},       {"$", 1, 'R', 0, 0},        {"->", 98, 'B', 6, 0},
    {".", 98, 'B', 6, 0},       {"(int)", 99, 'R', 0, 0},   {"(long)", 99, 'R', 0, 0},
    {"(int*)", 99, 'R', 0, 0},  {"(long*)", 99, 'R', 0, 0}, {"(char)", 99, 'R', 0, 0},
    {"(char*)", 99, 'R', 0, 0}, {"", 0, 0, 0, 0},           {"", 0, 0, 0, 0},
    {"", 0, 0, 0, 0},           {"", 0, 0, 0, 0},           {"", 0, 0, 0, 0},
};

// The entry at an index; an index outside the table gives an empty entry.
inline const OperatorEntry& OperatorAt(int index) {
  if (index < 0 || index >= kOperatorEntries) return kOperatorTable[kOperatorEntries - 1];
  return kOperatorTable[index];
}

}  // namespace stackcc
