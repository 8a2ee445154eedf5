// Sizes and conversions: how the sizes of two operands combine under an
// operator's type rule, the CHANGE_SIZE lines that widen or narrow a value right
// after it is pushed, and the scaling of the integer beside a pointer.
#include "base/compiler.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"

namespace stackcc {

TypeInfo NumberType() {
  TypeInfo t;
  for (int level = 0; level <= 4; ++level) t.sizes[level] = 4;
  for (int level = 1; level <= 5; ++level) t.pointeeSizes[level] = 4;
  return t;
}

FixedText<48> ChangeSizeLine(int from, int to) {
  FixedText<48> line("CHANGE_SIZE ");
  line.append_number(from);
  line.append(' ');
  line.append_number(to);
  line.append("\r\n");
  return line;
}

void ForceSize(Compiler& c, int index, int size) {
  int old = TermSize(c, index);
  if (old == size) return;
  NoteWidening(c, index, old, size);
  AppendCode(c, index, ChangeSizeLine(old, size).view());
  SetTermSize(c, index, size);
}

// The operand at the lower level takes the other's type: a pointer imposes its
// type on the integer beside it.
void MatchLevels(Compiler& c, int left, int right) {
  ExprTerm& L = c.expr.terms[left];
  ExprTerm& R = c.expr.terms[right];
  if (R.type.level < L.type.level) {
    R.type = L.type;
  } else if (L.type.level < R.type.level) {
    L.type = R.type;
  }
}

void ScalePointerOperands(Compiler& c, int k, int left, int right) {
  ExprState& e = c.expr;
  if (e.terms[left].type.level >= 1 && e.terms[right].type.level >= 1) {
    // Two addresses: a difference counts the elements between them (the
    // subtraction emitter divides by their size); a sum means nothing.
    if (e.terms[k].op == kOpAdd) {
      StopExpression(c, "+", kErrPointersAdded);
      return;
    }
    const TypeInfo& p = e.terms[left].type;
    e.terms[k].elementSize = PointeeSizeAtLevel(p, p.level);
    return;
  }
  if (e.terms[left].type.level >= 1) {
    const TypeInfo& p = e.terms[left].type;
    e.terms[k].type = p;
    AppendCode(c, right, "\r\n");
    ForceSize(c, right, 4);
    AppendCode(c, right, "\r\n");
    int pointee = PointeeSizeAtLevel(p, p.level);
    if (pointee != 1) {
      AppendCodeLineNumber(c, right, "push_parameter ", pointee);
      AppendCode(c, right, "mul 4\r\n");
    }
  }
  if (e.terms[right].type.level >= 1) {
    const TypeInfo& p = e.terms[right].type;
    e.terms[k].type = p;
    AppendCode(c, left, "\r\n");
    ForceSize(c, left, 4);
    AppendCode(c, left, "\r\n");
    if (SizeAtLevel(p, 0) != 1) {
      AppendCodeLineNumber(c, left, "push_parameter ", PointeeSizeAtLevel(p, p.level));
      AppendCode(c, left, "mul 4\r\n");
    }
  }
}

namespace {

// The narrower operand is widened; gives the term whose type the result takes.
int WidenNarrower(Compiler& c, int left, int right) {
  int ls = TermSize(c, left);
  int rs = TermSize(c, right);
  if (ls > rs) {
    NoteWidening(c, right, rs, ls);
    AppendCode(c, right, ChangeSizeLine(rs, ls).view());
    return left;
  }
  if (ls < rs) {
    NoteWidening(c, left, ls, rs);
    AppendCode(c, left, ChangeSizeLine(ls, rs).view());
  }
  return right;
}

}  // namespace

void CombineTypes(Compiler& c, int k, int left, int right, int rule) {
  ExprState& e = c.expr;
  ExprTerm& K = e.terms[k];
  ExprTerm& L = e.terms[left];
  ExprTerm& R = e.terms[right];
  switch (rule) {
    case kRuleArithmetic: {
      MatchLevels(c, left, right);
      int wider = WidenNarrower(c, left, right);
      K.type = e.terms[wider].type;
      if (TermSize(c, left) != TermSize(c, right)) {  // the narrower takes the wider's type
        e.terms[wider == left ? right : left].type = K.type;
      }
      break;
    }
    case kRuleAssignment: {
      int ls = TermSize(c, left);
      int rs = TermSize(c, right);
      if (rs != ls) {
        NoteWidening(c, right, rs, ls);
        AppendCode(c, right, ChangeSizeLine(rs, ls).view());
        SetTermSize(c, right, ls);
      }
      K.type = L.type;
      break;
    }
    case kRuleShift: {
      // The count is four bytes; a long is shifted at its own width, anything
      // else at four bytes.
      bool wide = TermSize(c, left) == 8;
      if (TermSize(c, right) != 4)
        AppendCode(c, right, ChangeSizeLine(TermSize(c, right), 4).view());
      K.type = wide ? L.type : R.type;
      if (!wide) SetTermSize(c, k, 4);
      SetTermSize(c, right, 4);
      break;
    }
    case kRuleComparison:
      K.type = e.terms[WidenNarrower(c, left, right)].type;
      // The result is a truth value, not an address, even for two pointers
      // (so that (p != q) + 1 is not scaled as pointer arithmetic).
      if (K.type.level > 0) K.type = NumberType();
      if (TermSize(c, k) < 4) SetTermSize(c, k, 4);
      break;
    case kRuleMember:
      L.type = R.type;
      K.type = R.type;
      K.addressOnly = R.addressOnly;
      break;
    default:
      break;
  }
}

}  // namespace stackcc
