// The lexer: an expression text becomes its terms in one walk. Each operator
// becomes an operator term and the text between two operators an operand
// term, trimmed as the marked text's runs between markers are (spaces before
// it, blanks after it). A minus that follows a binary or grouping operator, or
// that comes first, is a sign and joins the next operand.
//
// The walk takes each long name where it finds it, which is right while no
// two of them overlap; the marked text's length is counted on the way. A text
// where two overlap, that may pass the limit midway through the long names, or
// that fills the term table is lexed again from the tokens of the whole
// marking (LexOperators), which settles all three as the marking does.
#include <string_view>

#include "base/bytes.h"
#include "base/compiler.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "expr/marking_tables.h"
#include "io/diagnostics.h"

namespace stackcc {

using namespace marking;

namespace {

// Takes the next term slot (see NewTerm); inline for the lexer.
[[gnu::always_inline]] inline ExprTerm* TakeTerm(Compiler& c, int op) {
  ExprState& e = c.expr;
  if (e.lastTermIndex + 1 >= kTermCount) {
    ReportError(c, kErrTermTableFull, "");
    e.failed = true;
    return nullptr;
  }
  ExprTerm& t = e.terms.Take(++e.lastTermIndex);
  t.op = op;
  t.precedence = OperatorAt(op).precedence;
  t.text.clear();
  t.type = TypeInfo{};
  t.code.clear();
  t.state = 0;
  t.ref = -1;
  t.unresolved = false;
  t.expanding = false;
  t.chainIsArray = 0;
  t.elementSize = 0;
  t.symbol = 0;
  t.addressOnly = false;
  t.partner = -1;
  return &t;
}

// The terms of one text as they are written.
struct TermWriter {
  TermWriter(Compiler& compiler, bool withReferences) : c(compiler), references(withReferences) {}

  Compiler& c;
  bool references;
  bool sign = false;
  int previousOp = kOpNull;
  // The open brackets not yet closed, of each kind: each is a term taken,
  // so no more than the table holds.
  short openParens[kTermCount];
  short openBrackets[kTermCount];
  int parenCount = 0;
  int bracketCount = 0;

  // Pairs a bracket with the open one it closes, as a walk counting the
  // brackets of its kind between them would.
  void Pair(int index, int op) {
    ExprState& e = c.expr;
    if (op == kOpOpenParen) {
      openParens[parenCount++] = static_cast<short>(index);
    } else if (op == kOpOpenBracket) {
      openBrackets[bracketCount++] = static_cast<short>(index);
    } else if (op == kOpCloseParen && parenCount > 0) {
      int open = openParens[--parenCount];
      e.terms[open].partner = index;
      e.terms[index].partner = open;
    } else if (op == kOpCloseBracket && bracketCount > 0) {
      int open = openBrackets[--bracketCount];
      e.terms[open].partner = index;
      e.terms[index].partner = open;
    }
  }

  bool IsSignPosition() const {
    char kind = OperatorAt(previousOp).kind;
    return kind == 'B' || kind == 'G' || c.expr.lastTermIndex == -1;
  }

  // An operator term, or the sign a minus stands for. False when no term
  // could be taken (reported, the statement stopped).
  bool Operator(int k) {
    if (k == kOpSub && IsSignPosition()) {
      sign = true;
      return true;
    }
    ExprTerm* t = TakeTerm(c, k);
    if (t == nullptr) return false;
    if (k == kOpNull) {  // "NULL" is the number 0
      t->text.assign(sign ? "-0" : "0");
      sign = false;
    }
    if (k >= kOpOpenParen && k <= kOpCloseBracket) Pair(c.expr.lastTermIndex, k);
    previousOp = k;
    return true;
  }

  // The operand term of the text between two operators: none for spaces only,
  // nor for blanks only unless a sign stands before them.
  bool Operand(std::string_view run) {
    std::size_t start = 0;
    while (start < run.size() && run[start] == ' ') ++start;
    if (start == run.size()) return true;
    run.remove_prefix(start);
    while (!run.empty() && IsBlank(run.back())) run.remove_suffix(1);
    if (run.empty() && !sign) return true;
    ExprTerm* t = TakeTerm(c, kOpNull);
    if (t == nullptr) return false;
    if (sign) t->text.append('-');
    t->text.append(run);
    sign = false;
    if (references) t->ref = ReferenceIndex(t->text.view());
    previousOp = kOpNull;
    return true;
  }
};

// The terms of the tokens of the whole marking.
int WriteTokenTerms(Compiler& c, std::string_view text, bool references) {
  ExprState& e = c.expr;
  LexTokens tokens;
  if (!LexOperators(c, text, tokens)) {
    e.failed = true;
    return -1;
  }
  TermWriter out(c, references);
  for (int n = 0; n < tokens.count; ++n) {
    const LexToken& token = tokens.list[n];
    bool taken = token.op >= 0 ? out.Operator(token.op)
                               : out.Operand(text.substr(token.start, token.length));
    if (!taken) break;
  }
  return e.failed ? -1 : e.lastTermIndex;
}

// Why the one walk gave up on a text.
enum class Walk { kDone, kOverlap, kFull };

// The one walk. Gives kOverlap as soon as two long names overlap, kFull before
// a term would not fit; grown is what the markers add to the text's length.
Walk WalkText(TermWriter& out, std::string_view text, std::size_t& longNames, long long& grown) {
  const std::size_t n = text.size();
  bool unaryPlace = true;  // a star or ampersand here would be unary
  std::size_t operandStart = 0;
  // Before each term the table is known to have room for it.
  auto put = [&](int index, std::size_t at, std::size_t length) {
    if (out.c.expr.lastTermIndex + 2 >= kTermCount) return false;
    out.Operand(text.substr(operandStart, at - operandStart));
    out.Operator(index);
    grown += kTables.markers[index].size - static_cast<long long>(length);
    operandStart = at + length;
    return true;
  };
  for (std::size_t i = 0; i < n;) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (kTables.operandOnly[b]) {
      ++i;
      while (i < n && kTables.operandOnly[static_cast<unsigned char>(text[i])]) ++i;
      unaryPlace = false;
      continue;
    }
    if (kTables.longCount[b] > 0) {
      int index = LongNameStartingAt(text, i);
      if (index == -2) return Walk::kOverlap;
      if (index >= 0) {
        std::size_t length = kTables.nameLength[index];
        for (std::size_t j = i + 1; j < i + length; ++j) {
          if (kTables.longCount[static_cast<unsigned char>(text[j])] > 0 &&
              LongNameStartingAt(text, j) != -1) {
            return Walk::kOverlap;
          }
        }
        if (!put(index, i, length)) return Walk::kFull;
        ++longNames;
        i += length;
        unaryPlace = true;
        continue;
      }
    }
    if (kTables.plain[b]) {
      ++i;
      unaryPlace = false;
      continue;
    }
    int index = ShortNameAt(b, unaryPlace);
    if (index > 0 && !put(index, i, 1)) return Walk::kFull;
    ++i;  // a blank stays in the operand text around it
  }
  if (out.c.expr.lastTermIndex + 1 >= kTermCount) return Walk::kFull;
  out.Operand(text.substr(operandStart));
  return Walk::kDone;
}

}  // namespace

ExprTerm* NewTerm(Compiler& c, int op) {
  return TakeTerm(c, op);
}

int ReferenceIndex(std::string_view text) {
  if (text.size() < 2 || text.size() > 4 || text[0] != '@') return -1;
  int value = 0;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

int LexTerms(Compiler& c, std::string_view text, bool reset, bool references) {
  ExprState& e = c.expr;
  if (reset) e.lastTermIndex = -1;
  const int before = e.lastTermIndex;
  TermWriter out(c, references);
  std::size_t longNames = 0;
  long long grown = 0;
  Walk walk = WalkText(out, text, longNames, grown);
  if (walk == Walk::kDone && text.size() + 2 * longNames <= kMarkedLimit) {
    if (static_cast<long long>(text.size()) + grown <= static_cast<long long>(kMarkedLimit)) {
      return e.lastTermIndex;
    }
    e.lastTermIndex = before;
    ReportError(c, kErrExpressionLength, "");
    e.failed = true;
    return -1;
  }
  e.lastTermIndex = before;
  return WriteTokenTerms(c, text, references);
}

}  // namespace stackcc
