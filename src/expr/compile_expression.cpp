// One expression statement: string literals become data labels, operators are
// marked, the text is split into terms and evaluated, and the root's code is
// expanded into the emit buffer followed by a drop of the statement's value. A
// statement stopped by an error emits nothing.
#include "decl/data_layout.h"
#include "driver/bytes.h"
#include "driver/compiler.h"
#include "expr/parser.h"

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

// The statement's code, then the drop of its value.
void EmitStatementCode(Compiler& c, std::string_view code, int dropSize) {
  Emit(c, code);
  Emit(c, "drop ");
  EmitNumber(c, dropSize);
  Emit(c, "\r\n");
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
  if (HoistStringLiterals(c, e.exprText) == 0) return -1;
  BlankMarkerBytes(e.exprText);
  if (!MarkOperators(c, e.exprText)) return -1;
  int last = SplitTerms(c, e.exprText.view(), true, false);
  if (e.failed) return -1;
  if (last < 0) {  // a sign and nothing after it
    StopExpression(c, "-");
    return -1;
  }
  int root = EvaluateRange(c, 0, last);
  if (root < 0 || !AllTermsUsed(c, root)) return -1;
  ExpandCode(c, root);
  if (e.failed) return -1;
  return TermSize(c, root);
}

}  // namespace

int CompileExpression(Compiler& c, std::string_view text) {
  ExprState& e = c.expr;
  e.failed = false;
  e.lastTermIndex = -1;
  e.rangeFirst = 0;
  e.rangeLast = -1;
  e.output.clear();
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  if (start == text.size()) return 0;
  text.remove_prefix(start);
  // A string literal declares its data as it is compiled: never replayed.
  bool cacheable = c.driver.reuseExpressionCode && text.find('"') == std::string_view::npos;
  if (cacheable) {
    if (const CachedExpression* hit = e.cache.Find(c, text)) {
      EmitStatementCode(c, hit->code.view(), hit->dropSize);
      return 0;
    }
  }
  int reportsBefore = c.diag.reportCount;
  int generationBefore = c.decl.generation;
  e.lookups.Clear();
  if (cacheable) c.decl.journal = &e.lookups;
  int dropSize = CompileText(c, text);
  c.decl.journal = nullptr;
  if (dropSize < 0) return 0;
  EmitStatementCode(c, e.output.view(), dropSize);
  if (cacheable && c.diag.reportCount == reportsBefore) {
    e.cache.Store(c, text, e.output.view(), dropSize, generationBefore, e.lookups);
  }
  return 0;
}

}  // namespace stackcc
