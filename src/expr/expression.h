// The expression compiler: a lexer writes the text's operators and operands
// into a flat table of terms, operators are applied in precedence order, and the
// code of the root term is expanded into instruction lines.
#pragma once

#include <string_view>

#include "base/fixed_text.h"
#include "base/lazy_table.h"

namespace stackcc {

struct Compiler;

constexpr int kTermCount = 300;
constexpr int kTermTextCapacity = 1024;
constexpr int kTermCodeCapacity = 4096;
constexpr int kExprOutputCapacity = 4096;
constexpr char kOperatorMarkerByte = static_cast<char>(0xA4);

struct OperatorEntry {
  const char* name;
  int precedence;
  char kind;  // 'G', 'R', 'L', 'B' or 0
  int typeRule;
  int pointerScaling;
};

// The 51-entry operator table (entries 46 to 50 empty).
constexpr int kOperatorEntries = 51;

// The value of a term: storage kind, size per level, pointee size per level, and
// the subscript state of an array. Copied whole from term to term.
struct TypeInfo {
  int kind = 0;
  int sizes[5] = {0, 0, 0, 0, 0};
  int pointeeSizes[6] = {0, 0, 0, 0, 0, 0};  // indexed by level 1 to 5
  int subscriptCount = 0;
  int level = 0;
  int dimCount = 0;
  int strides[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
};

struct ExprTerm {
  int op = 0;
  int precedence = 0;  // the operator's precedence, set with op
  FixedText<kTermTextCapacity> text;
  TypeInfo type;
  // Code references ("@" + term index) first, then the term's own lines.
  FixedText<kTermCodeCapacity> code;
  int state = 0;  // 0 pending, 1 applied, 2 consumed
  // A rewritten text's "@n" operand: the term it copies, else -1.
  int ref = -1;
  // The operand's name was not found: it compiles to its text as written.
  bool unresolved = false;
  // Set while ExpandCode is inside this term (a reference back expands to nothing).
  bool expanding = false;
  // isArray of the symbol that starts this term's subscript chain.
  int chainIsArray = 0;
  // A difference of two pointers: the size of the elements it counts.
  int elementSize = 0;
  // The symbol record the text names, once a lookup has found it (0: not
  // looked up, or not found); a rewritten text clears it.
  int symbol = 0;
  // A bracket's partner as the lexer paired them ("(" with ")", "[" with
  // "]"), -1 for none or unknown: then it is searched for.
  int partner = -1;
  // The code ends in an address that no load follows (an array, a function's
  // name, a row of an array): "&" has no load to cancel.
  bool addressOnly = false;
};

struct ExprState {
  // Terms are taken by NewTerm only; every other index read is one of them.
  TakenTable<ExprTerm, kTermCount> terms;
  int lastTermIndex = -1;
  FixedText<kTermTextCapacity> exprText;
  FixedText<kExprOutputCapacity> output;
  // The range being evaluated: operands and bracket partners are searched in it.
  int rangeFirst = 0;
  int rangeLast = -1;
  // An error stopped the statement: nothing more is evaluated or emitted.
  bool failed = false;
};

// The line "CHANGE_SIZE from to" that converts the value on top.
FixedText<48> ChangeSizeLine(int from, int to);

// Compiles an expression statement into the emit buffer, ending in a drop line.
// Gives the size of the value dropped, or -1 when nothing was emitted (an empty
// text, or a statement stopped by an error).
int CompileExpression(Compiler& c, std::string_view text);

}  // namespace stackcc
