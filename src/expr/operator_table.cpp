// The operator table: names as searched for in the text, precedence, kind, type
// rule and pointer scaling. Index 0 doubles as "no operator" (an operand).
#include <string_view>

#include "driver/compiler.h"
#include "expr/parser.h"

namespace stackcc {

namespace {

constexpr OperatorEntry kOperators[kOperatorEntries] = {
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

int FindEntry(std::string_view name) {
  for (int i = 0; i < kOperatorEntries; ++i) {
    if (name == kOperators[i].name) return i;
  }
  return -1;
}

}  // namespace

const OperatorEntry* OperatorTable() {
  return kOperators;
}

const OperatorEntry& OperatorAt(int index) {
  if (index < 0 || index >= kOperatorEntries) return kOperators[kOperatorEntries - 1];
  return kOperators[index];
}

int OperatorPrecedence(std::string_view text) {
  int i = FindEntry(text);
  return i < 0 ? 0 : kOperators[i].precedence;
}

int OperatorIndex(Compiler& c, std::string_view name) {
  int i = FindEntry(name);
  if (i < 0) ReportError(c, kErrArray, "Operator unknow");
  return i;
}

std::string_view OperatorShownName(int index) {
  if (index == kOpDeref) return "*";
  if (index == kOpAddress) return "&";
  return OperatorAt(index).name;
}

}  // namespace stackcc
