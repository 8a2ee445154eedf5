// Operands: a number is pushed as written; a name is looked up (as a local of the
// current function first), its stored name pushed and, for scalars and pointers,
// loaded; a member pushes its offset and adds it to the owner's address. Every
// operand gets the TypeInfo that describes its value.
#include <cstdint>

#include "base/bytes.h"
#include "base/compiler.h"
#include "base/text_helpers.h"
#include "decl/number_range.h"
#include "decl/tables.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"

namespace stackcc {

namespace {

// A text starting with a digit, a minus and a digit, or holding a nonzero leading
// decimal value is a number; anything else is a name.
bool IsNumberText(std::string_view text) {
  if (text.empty()) return false;
  char first = text[0];
  if (IsDigit(first)) return true;
  if (first == '-' && text.size() > 1 && IsDigit(text[1])) return true;
  // A leading value needs its digits after white space and a sign: a name's
  // first byte rules it out.
  bool mayLead = first == ' ' || (first >= '\t' && first <= '\r') || first == '+' || first == '-';
  return mayLead && ReadDecimal(text) != 0;
}

// Two values side by side in one operand ("1  b": a statement whose ";" is
// missing runs into the next one). High bytes do not separate: they may stand
// inside a name.
bool HoldsTwoValues(std::string_view operand) {
  // Most operands hold no separator at all.
  std::size_t i = 0;
  while (i < operand.size() && static_cast<unsigned char>(operand[i]) > 0x20) ++i;
  if (i == operand.size()) return false;
  bool value = false;
  bool gap = false;
  for (char ch : operand) {
    bool separator = SignedByte(ch) >= 0 && IsBlank(ch);
    if (!separator && gap) return true;
    gap = separator && value;
    value = value || !separator;
  }
  return false;
}

TypeInfo SymbolType(const Compiler& c, const SymbolRecord& s) {
  TypeInfo t;
  t.kind = s.kind;
  t.sizes[0] = s.sizes[0];
  for (int level = 1; level <= 4; ++level) t.sizes[level] = 4;
  for (int level = 1; level <= 5; ++level) t.pointeeSizes[level] = s.sizes[level - 1];
  t.level = s.indirection;
  if (s.isArray != 1 || s.dimIndex < 0 || s.dimIndex >= kDimensionRecords) return t;
  // One step of dimension j spans the product of all later dimensions.
  const DimensionRecord& dims = c.decl.dimensions[s.dimIndex];
  int count = dims.values[0];
  if (count < 0) count = 0;
  if (count > 10) count = 10;
  t.dimCount = count;
  std::int64_t stride = 1;
  for (int j = count - 1; j >= 0; --j) {
    t.strides[j] = static_cast<int>(static_cast<std::uint32_t>(stride));
    stride *= dims.values[j + 1];
    stride = static_cast<std::int32_t>(static_cast<std::uint32_t>(stride));
  }
  return t;
}

void CompileNumber(Compiler& c, int i) {
  ExprTerm& t = c.expr.terms[i];
  t.type = NumberType();
  t.code.clear();
  AppendCodeLine(c, i, "push_parameter ", t.text.view());
}

// A name that was not found keeps its text and is pushed like a number.
void CompileUnresolved(Compiler& c, int i) {
  c.expr.terms[i].unresolved = true;
  CompileNumber(c, i);
}

void CompileName(Compiler& c, int i) {
  ExprState& e = c.expr;
  ExprTerm& t = e.terms[i];
  // Only a member name is rewritten by ResolveMember; the text as written is
  // kept for the case that the rewritten name is not found.
  int before = i >= 1 ? e.terms[i - 1].op : kOpNull;
  bool mayBeMember = before == kOpDot || before == kOpArrow;
  ExprText written;
  if (mayBeMember) written = t.text;
  MemberResolution member = ResolveMember(c, i);
  if (e.failed) return;
  int s = TermSymbol(c, i);
  if (s <= 0) {
    if (mayBeMember) t.text = written;
    CompileUnresolved(c, i);
    return;
  }
  const SymbolRecord& record = c.decl.symbols[s];
  t.text = record.name.view();
  t.symbol = s;
  t.type = SymbolType(c, record);
  if (TracksReads(c)) NoteRead(c, s, i < e.lastTermIndex && e.terms[i + 1].op == kOpAssign);
  t.code.clear();
  if (member.isMember) {
    AppendCodeLineNumber(c, i, "push_parameter ", member.offset);
    AppendCode(c, i, "add 4\r\n\r\n");
  } else {
    AppendCodeLine(c, i, "push_parameter ", t.text.view());
  }
  TypeInfo& type = t.type;
  t.addressOnly = type.kind == SymArray || type.kind == SymFunction;
  if (type.kind == SymScalar || type.kind == SymPointer) {
    if (type.level > 0) --type.level;
    AppendCodeLineNumber(c, i, "peek ", SizeAtLevel(type, type.level));
  } else if (type.kind == SymFunction) {
    // The name alone is the function's address; a call gives its value the
    // return size.
    if (type.level > 0) --type.level;
    type.sizes[type.level] = 4;
  }
}

// A reference of a rewritten text takes over the whole term it names. An
// operator's term keeps its code; an operand is compiled again from its text.
bool TakeReferencedTerm(Compiler& c, int i) {
  ExprState& e = c.expr;
  int target = e.terms[i].ref;
  if (target >= i || target > e.lastTermIndex) {
    StopExpression(c, e.terms[i].text.view());
    return false;
  }
  e.terms[i] = e.terms[target];
  e.terms[i].ref = -1;
  e.terms[i].expanding = false;
  e.terms[i].partner = -1;  // a copy's brackets are searched for
  return true;
}

}  // namespace

void EmitOperand(Compiler& c, int i) {
  ExprState& e = c.expr;
  if (e.failed) return;
  ExprTerm& t = e.terms[i];
  if (t.state != 0) {
    t.state = 2;
    return;
  }
  bool copy = t.ref >= 0;  // a rewritten text's copy of a term compiled before
  if (copy) {
    if (!TakeReferencedTerm(c, i)) return;
    if (t.text.empty()) {
      t.state = 2;
      return;
    }
  } else if (t.op != kOpNull || t.text.empty()) {
    // An operator that was never applied stands where an operand should be.
    StopExpression(c, OperatorShownName(t.op));
    return;
  }
  if (HoldsTwoValues(t.text.view())) {
    StopExpression(c, t.text.view(), kErrMissingSemicolon);
    return;
  }
  if (t.unresolved) {
    CompileUnresolved(c, i);
  } else if (IsNumberText(t.text.view())) {
    if (!copy) WarnNumberInCode(c, t.text.view());
    CompileNumber(c, i);
  } else {
    CompileName(c, i);
  }
  t.state = 2;
}

}  // namespace stackcc
