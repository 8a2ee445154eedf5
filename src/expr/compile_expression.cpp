// One expression statement: string literals become data labels, the lexer
// writes the text's terms, they are evaluated, and the root's code is
// expanded into the emit buffer followed by a drop of the statement's value. A
// statement stopped by an error emits nothing.
#include "base/bytes.h"
#include "base/compiler.h"
#include "decl/data_layout.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"
#include "io/output.h"

namespace stackcc {

namespace {

// Every term must have been used: an operand or a value that no operator took
// (two operands side by side, "isNULL") is an error, as is a stray bracket.
bool AllTermsUsed(Compiler& c, int root) {
  const ExprState& e = c.expr;
  for (int i = 0; i <= e.lastTermIndex; ++i) {
    const ExprTerm& t = e.terms[i];
    if (i == root || t.state == 2) continue;
    StopExpression(c, t.op == kOpNull ? t.text.view() : OperatorShownName(t.op));
    return false;
  }
  return true;
}

// The marker byte cannot come from a source text (the reader has made every such
// byte a blank); a stray one is made a blank so that it never reads as a marker.
void BlankMarkerBytes(ExprText& text) {
  for (std::size_t i = text.find(kOperatorMarkerByte); i != ExprText::npos;
       i = text.find(kOperatorMarkerByte, i)) {
    text.set(i, ' ');
  }
}

void EmitDrop(Compiler& c, int dropSize) {
  // The usual value widths (up to eight bytes) have their lines written whole.
  static constexpr std::string_view kDrops[] = {"drop 0\r\n", "drop 1\r\n", "drop 2\r\n",
                                                "drop 3\r\n", "drop 4\r\n", "drop 5\r\n",
                                                "drop 6\r\n", "drop 7\r\n", "drop 8\r\n"};
  if (dropSize >= 0 && dropSize <= 8) {
    Emit(c, kDrops[dropSize]);
    return;
  }
  Emit(c, "drop ");
  EmitNumber(c, dropSize);
  Emit(c, "\r\n");
}

// The statement's code, then the drop of its value.
void EmitStatementCode(Compiler& c, std::string_view code, int dropSize) {
  Emit(c, code);
  EmitDrop(c, dropSize);
}

void ResetStatement(ExprState& e) {
  e.failed = false;
  e.lastTermIndex = -1;
  e.rangeFirst = 0;
  e.rangeLast = -1;
  e.output.clear();
}

// Compiles the statement into e.output; the size its value leaves on the
// stack, or -1 when it stopped.
int CompileText(Compiler& c, std::string_view text) {
  ExprState& e = c.expr;
  if (text.size() >= kTermTextCapacity) {
    ReportError(c, kErrExpressionLength, "");
    return -1;
  }
  e.exprText.assign(text);
  if (HoistStringLiterals(c, e.exprText) == 0) {
    // A string without its closing quote (or cut by a ";" or "}" inside it,
    // which ends the statement): the statement cannot be compiled.
    ReportError(c, kErrString, "");
    return -1;
  }
  BlankMarkerBytes(e.exprText);
  int last = LexTerms(c, e.exprText.view(), true, false);
  if (e.failed) return -1;
  if (last < 0) {  // a sign and nothing after it
    StopExpression(c, "-");
    return -1;
  }
  int root = EvaluateRange(c, 0, last);
  if (root < 0 || !AllTermsUsed(c, root)) return -1;
  WarnUsedIncrements(c, root);
  ExpandCode(c, root);
  if (e.failed) return -1;
  return TermSize(c, root);
}

}  // namespace

int CompileExpression(Compiler& c, std::string_view text) {
  ExprState& e = c.expr;
  ResetStatement(e);
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  if (start == text.size()) return -1;
  int dropSize = CompileText(c, text.substr(start));
  if (dropSize < 0) return -1;
  EmitStatementCode(c, e.output.view(), dropSize);
  return dropSize;
}

}  // namespace stackcc
