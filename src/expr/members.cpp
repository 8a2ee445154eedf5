// Member names: the operand after "." or "->" is looked up as the member symbol
// tag + "_ST_" + member, where the tag is that of the owner on the left (for a
// subscripted array of structures, the array before the brackets). A chain such as
// s.t.x finds the tag of t through t's rewritten member name.
#include "base/compiler.h"
#include "decl/tables.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"

namespace stackcc {

namespace {

// The term whose symbol owns the member at index i, or -1.
int MemberOwner(Compiler& c, int i) {
  ExprState& e = c.expr;
  int owner = i - 2;
  if (owner < 0) return -1;
  if (e.terms[owner].op != kOpCloseBracket) return owner;
  int open = FindMatchingBracket(c, owner);
  return open < 1 ? -1 : open - 1;
}

bool IsMemberNameOf(std::string_view tag, std::string_view text) {
  return text.size() > tag.size() + kMemberMark.size() && text.starts_with(tag) &&
         text.substr(tag.size()).starts_with(kMemberMark);
}

}  // namespace

MemberResolution ResolveMember(Compiler& c, int i) {
  ExprState& e = c.expr;
  if (i < 1 || i > e.lastTermIndex) return {};
  int dot = e.terms[i - 1].op;
  if (dot != kOpDot && dot != kOpArrow) return {};
  int owner = MemberOwner(c, i);
  if (owner < 0) return {};
  const ExprTerm& ownerTerm = e.terms[owner];
  int s = ownerTerm.unresolved ? 0 : TermSymbol(c, owner);
  FixedText<kTypeNameCapacity> tag(TypeNameOf(c.decl, c.decl.symbols[s]));
  ExprTerm& t = e.terms[i];
  MemberResolution result;
  result.isMember = true;
  result.offset = MemberOffsetOf(c, tag.view(), t.text.view());
  if (!tag.empty() && !IsMemberNameOf(tag.view(), t.text.view())) {
    ExprText name(tag.view());
    name.append(kMemberMark);
    name.append(t.text.view());
    t.text = name;
    t.symbol = 0;
  }
  return result;
}

}  // namespace stackcc
