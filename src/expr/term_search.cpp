// Searches over the term table: the pending neighbours of an operator, bracket
// partners and the start of a call argument. No
// search leaves the statement's terms, and bracket partners are looked for only
// inside the range being evaluated.
#include "base/compiler.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"

namespace stackcc {

namespace {

// Walks from index in direction step; opener adds one to the depth, closer takes
// one away; the term that brings the depth back to 0 is the partner.
int WalkToPartner(const Compiler& c, int index, int step, int opener, int closer) {
  const ExprState& e = c.expr;
  int lo = e.rangeFirst < 0 ? 0 : e.rangeFirst;
  int hi = e.rangeLast > e.lastTermIndex ? e.lastTermIndex : e.rangeLast;
  int depth = 1;
  for (int j = index + step; j >= lo && j <= hi; j += step) {
    if (e.terms[j].op == opener) ++depth;
    if (e.terms[j].op == closer && --depth == 0) return j;
  }
  return -1;
}

// The partner the lexer paired with the bracket, when it stands inside the
// range being evaluated; else -1, as a walk inside the range would not reach
// it either (a walk from a bracket stops first at the lexer's partner).
int PairedPartner(const ExprState& e, int partner) {
  int lo = e.rangeFirst < 0 ? 0 : e.rangeFirst;
  int hi = e.rangeLast > e.lastTermIndex ? e.lastTermIndex : e.rangeLast;
  return partner >= lo && partner <= hi ? partner : -1;
}

// The partner walked for; -2 for a term that is no bracket (reported).
int WalkForPartner(Compiler& c, int index) {
  switch (c.expr.terms[index].op) {
    case kOpOpenParen:
      return WalkToPartner(c, index, 1, kOpOpenParen, kOpCloseParen);
    case kOpOpenBracket:
      return WalkToPartner(c, index, 1, kOpOpenBracket, kOpCloseBracket);
    case kOpCloseParen:
      return WalkToPartner(c, index, -1, kOpCloseParen, kOpOpenParen);
    case kOpCloseBracket:
      return WalkToPartner(c, index, -1, kOpCloseBracket, kOpOpenBracket);
    default:
      ReportError(c, kErrArray, "Cannot find next pair");
      c.expr.failed = true;
      return -2;
  }
}

}  // namespace

int FindMatchingBracket(Compiler& c, int index) {
  const ExprTerm& t = c.expr.terms[index];
  int partner;
  if (t.partner >= 0 && t.op >= kOpOpenParen && t.op <= kOpCloseBracket) {
    partner = PairedPartner(c.expr, t.partner);
  } else {
    partner = WalkForPartner(c, index);
    if (partner == -2) return -1;
  }
  if (partner < 0) {
    ReportError(c, kErrParentheses, "");
    c.expr.failed = true;
  }
  return partner;
}

int FindArgumentStart(const Compiler& c, int index, int lo) {
  if (lo < 0) lo = 0;
  int depth = 0;
  for (int j = index; j >= lo; --j) {
    int op = c.expr.terms[j].op;
    if ((op == kOpComma || op == kOpOpenParen) && depth == 0) return j;
    if (op == kOpCloseParen) ++depth;
    if (op == kOpOpenParen) --depth;
  }
  return -1;
}

}  // namespace stackcc
