// The pieces of the expression compiler, shared between its files and its tests.
// Term indices are indices into c.expr.terms; -1 stands for "no term".
#pragma once

#include <string_view>

#include "base/compiler.h"
#include "base/fixed_text.h"
#include "expr/expression.h"
#include "expr/operator_table.h"
#include "io/diagnostics.h"
#include "io/run_state.h"

namespace stackcc {

// Operator table indices the compiler refers to by name.
enum OperatorIndexName : int {
  kOpNull = 0,
  kOpOpenParen = 1,
  kOpCloseParen = 2,
  kOpOpenBracket = 3,
  kOpCloseBracket = 4,
  kOpNot = 5,
  kOpComplement = 6,
  kOpIncrement = 7,
  kOpDecrement = 8,
  kOpDeref = 9,
  kOpAddress = 10,
  kOpSizeof = 11,
  kOpMul = 12,
  kOpDiv = 13,
  kOpAdd = 15,
  kOpSub = 16,
  kOpLess = 19,
  kOpNotEqual = 24,
  kOpBitAnd = 25,
  kOpLogicalAnd = 28,
  kOpLogicalOr = 29,
  kOpConditional = 30,
  kOpAssign = 31,
  kOpAddAssign = 32,
  kOpSubAssign = 33,
  kOpMulAssign = 34,
  kOpDivAssign = 35,
  kOpComma = 36,
  kOpStore = 37,
  kOpArrow = 38,
  kOpDot = 39,
  kOpCastInt = 40,
  kOpCastLong = 41,
  kOpCastIntPtr = 42,
  kOpCastLongPtr = 43,
  kOpCastChar = 44,
  kOpCastCharPtr = 45,
};

enum TypeRuleName : int {
  kRuleNone = 0,
  kRuleArithmetic = 1,
  kRuleAssignment = 2,
  kRuleShift = 3,
  kRuleComparison = 4,
  kRuleMember = 6,
};

using ExprText = FixedText<kTermTextCapacity>;

// --- operator table (operator_table.cpp)
// Precedence of the entry named exactly text, 0 when there is none.
int OperatorPrecedence(std::string_view text);
// Index of the entry named name; reports error 1 "Operator unknow" and gives -1.
int OperatorIndex(Compiler& c, std::string_view name);
// The operator as a user writes it (":*" is shown as "*", ":&" as "&").
std::string_view OperatorShownName(int index);

// --- the lexer (marking.cpp, lex_terms.cpp)
// One piece of an expression text as the lexer finds it: an operator (op, its
// table index) or, with op -1, a run of operand text, bytes [start, start + length).
struct LexToken {
  short op;
  short start;
  short length;
};
// A text of at most 1023 bytes has at most that many pieces.
struct LexTokens {
  LexToken list[kTermTextCapacity];
  int count = 0;
};
// Finds the operators of a text as MarkOperators marks them, without writing the
// marked text. False when the marked text would be longer than 1023 characters
// (reported; no token is to be used).
bool LexOperators(Compiler& c, std::string_view text, LexTokens& tokens);
// Replaces every operator of the text by its marker (0xA4, index, blank). The text
// must hold no marker byte. False when the marking would make the text longer than
// 1023 characters (reported; the text is left as it was).
bool MarkOperators(Compiler& c, ExprText& text);
// Writes the terms of a text after the last term (or from term 0 with reset).
// With references set, an operand "@n" is a reference to term n. Gives the index
// of the last term written, -1 when the table is empty or the statement stopped
// (a text too long to mark stops it too).
int LexTerms(Compiler& c, std::string_view text, bool reset, bool references);
// Takes the next term slot and resets only what a term holds; reports a full
// table and stops the statement (nullptr).
ExprTerm* NewTerm(Compiler& c, int op);
// An operand "@" followed by digits only (a rewritten text's reference): the
// index of the term it names, else -1.
int ReferenceIndex(std::string_view text);

// --- term searches (term_search.cpp)
// The nearest term below index, not below lo, whose state is not 2; else -1.
// Inline, like the size readers below: they run for every operator.
inline int PreviousPendingTerm(const Compiler& c, int index, int lo) {
  if (lo < 0) lo = 0;
  for (int j = index - 1; j >= lo; --j) {
    if (c.expr.terms[j].state != 2) return j;
  }
  return -1;
}
// The nearest term above index, not above hi, whose state is not 2; else -1.
inline int NextPendingTerm(const Compiler& c, int index, int hi) {
  if (hi > c.expr.lastTermIndex) hi = c.expr.lastTermIndex;
  for (int j = index + 1; j <= hi; ++j) {
    if (c.expr.terms[j].state != 2) return j;
  }
  return -1;
}
// The partner of the bracket term at index within the current range. A bracket
// without partner reports error 3 and stops the statement; a term that is no
// bracket reports error 1. -1 in both cases.
int FindMatchingBracket(Compiler& c, int index);
// The "," or "(" term that begins the call argument ending at index (not below
// lo); -1 when there is none.
int FindArgumentStart(const Compiler& c, int index, int lo);

// --- evaluation and expansion (evaluation.cpp, expansion.cpp)
// Applies the operators of the range in precedence order; gives the term holding
// the range's value (first for an empty range), -1 when the statement stopped.
int EvaluateRange(Compiler& c, int first, int last);
// Appends the expanded code of a term to c.expr.output.
void ExpandCode(Compiler& c, int index);
// Reports error 12 (or the code given) with the detail text and stops the
// statement.
void StopExpression(Compiler& c, std::string_view detail, int code = kErrExpression);
// Reports a term's code beyond 4095 characters, keeping what fits, and stops
// the statement.
void CodeOverflow(Compiler& c, int index, std::string_view a, std::string_view b,
                  std::string_view d);

// Appends up to three pieces to a term's code. These run for every line of
// code, so they are inline: the constant pieces then cost a fixed-size move.
inline void AppendPieces(Compiler& c, int index, std::string_view a, std::string_view b = {},
                         std::string_view d = {}) {
  ExprState& e = c.expr;
  if (e.failed) return;
  auto& code = e.terms[index].code;
  std::size_t used = code.size();
  std::size_t total = a.size() + b.size() + d.size();
  if (used + total > code.kCapacity) {
    CodeOverflow(c, index, a, b, d);
    return;
  }
  char* at = code.raw() + used;
  CopyBytes(at, a.data(), a.size());
  CopyBytes(at + a.size(), b.data(), b.size());
  CopyBytes(at + a.size() + b.size(), d.data(), d.size());
  code.set_length(used + total);
}

// Appends to a term's code; a code beyond 4095 characters stops the statement.
inline void AppendCode(Compiler& c, int index, std::string_view text) {
  AppendPieces(c, index, text);
}
// One line: mnemonic, operand (or value) and CR LF.
inline void AppendCodeLine(Compiler& c, int index, std::string_view mnemonic,
                           std::string_view operand) {
  AppendPieces(c, index, mnemonic, operand, "\r\n");
}
inline void AppendCodeLineNumber(Compiler& c, int index, std::string_view mnemonic,
                                 long long value) {
  char buf[24];
  AppendPieces(c, index, mnemonic, DecimalDigits(buf, value), "\r\n");
}
// "@" and the index of the term whose code goes first.
inline void AppendCodeReference(Compiler& c, int index, int target) {
  char buf[24];
  AppendPieces(c, index, "@", DecimalDigits(buf, target));
}

// --- symbols (term_symbol.cpp): how the expression compiler looks up names
// The symbol record a term's text names, looked up once and kept in the term.
// A name that is not found gives 0: reported as error 21 (kErrNotFound) when reportMissing,
// else quietly (a callee that is not declared yet).
int TermSymbol(Compiler& c, int index, bool reportMissing = true);

// --- operands, calls and subscripts (operands.cpp, members.cpp, calls.cpp,
// subscripts.cpp)
struct MemberResolution {
  bool isMember = false;
  int offset = 0;
};
void EmitOperand(Compiler& c, int index);
MemberResolution ResolveMember(Compiler& c, int index);
void EmitCall(Compiler& c, int k);
void EmitSubscript(Compiler& c, int k);

// --- operator emission (emitters.cpp, rewrite.cpp, type_rules.cpp)
void EmitOperator(Compiler& c, int k, int left, int right);
int RewriteAndEvaluate(Compiler& c, std::string_view text, int k);
void ScalePointerOperands(Compiler& c, int k, int left, int right);
void CombineTypes(Compiler& c, int k, int left, int right, int rule);
void MatchLevels(Compiler& c, int left, int right);
void ForceSize(Compiler& c, int index, int size);

// --- warnings (expression_warnings.cpp; numbers in decl/number_range.h); each does its
// work only when its warning is switched on
// -Wshort-circuit: the right side of "&&" or "||" at k has effects or reads
// through what the left side tests.
void WarnLogicalOperands(Compiler& c, int k, int left, int right);
// -Wargument-order: the call at k has two or more arguments with side effects.
void WarnCallArguments(Compiler& c, int k);
// -Wtarget-twice: the target of the rewritten operator at k has a side effect.
void WarnRewrittenTarget(Compiler& c, int k, int left);
// -Wincrement-value: an "x++" or "x--" of the tree under root gives its value
// to a larger expression.
void WarnUsedIncrements(Compiler& c, int root);
// -Wchar-arithmetic: the term is "+", "-" or "*" of two bytes, widened to "to".
void WarnWidenedByteArithmetic(Compiler& c, int term, int to);
// A one-byte value of term is widened: the point where byte arithmetic shows.
inline void NoteWidening(Compiler& c, int term, int from, int to) {
  if (from == 1 && to > 1 && WarningOn(c.run.tools, Warning::kCharArithmetic)) {
    WarnWidenedByteArithmetic(c, term, to);
  }
}

// --- sizes (type_rules.cpp)
// The type of a number (and of a name that was not found): 4 bytes at level 0.
TypeInfo NumberType();
// The size at a level; levels beyond 4 hold addresses (4 bytes), below 0 nothing.
inline int SizeAtLevel(const TypeInfo& t, int level) {
  if (level < 0) return 0;
  return level <= 4 ? t.sizes[level] : 4;
}
// The pointee size at a level (1 to 5); beyond 5 an address (4 bytes).
inline int PointeeSizeAtLevel(const TypeInfo& t, int level) {
  if (level < 1) return 0;
  return level <= 5 ? t.pointeeSizes[level] : 4;
}
// The size of a term at its current level, and its replacement.
inline int TermSize(const Compiler& c, int index) {
  const TypeInfo& t = c.expr.terms[index].type;
  return SizeAtLevel(t, t.level);
}
inline void SetTermSize(Compiler& c, int index, int size) {
  TypeInfo& t = c.expr.terms[index].type;
  if (t.level >= 0 && t.level <= 4) t.sizes[t.level] = size;
}

}  // namespace stackcc
