// The operator emitters: each appends the operator's own instruction lines to its
// term's code, after the references to its operands. Most are a mnemonic and the
// size of the result; assignments poke, members add offsets, casts convert, and
// increments and compound assignments are compiled again as plain assignments.
#include <iterator>

#include "base/compiler.h"
#include "decl/tables.h"
#include "expr/expression.h"
#include "expr/expression_parts.h"
#include "io/diagnostics.h"

namespace stackcc {

namespace {

// The emitters of the form mnemonic + size, by operator index: "*" (12) to
// "||" (29). Empty for every other operator.
std::string_view SizedMnemonic(int op) {
  static constexpr std::string_view kBinary[] = {"mul ",
                                                 "div ",
                                                 "mod ",
                                                 "add ",
                                                 "sub ",
                                                 "shift_left ",
                                                 "shift_right ",
                                                 "less ",
                                                 "lessorequal ",
                                                 "greater ",
                                                 "greaterorequal ",
                                                 "equal ",
                                                 "notequal ",
                                                 "and ",
                                                 "xor ",
                                                 "or ",
                                                 "logic_and ",
                                                 "logic_or "};
  if (op >= kOpMul && op < kOpMul + static_cast<int>(std::size(kBinary)))
    return kBinary[op - kOpMul];
  return {};
}

void AppendSized(Compiler& c, int index, std::string_view mnemonic, int size) {
  AppendCodeLineNumber(c, index, mnemonic, size);
}

void EmitDereference(Compiler& c, int k, int r) {
  ExprState& e = c.expr;
  TypeInfo& t = e.terms[r].type;
  if (t.level == 0) {
    ReportError(c, kErrNotPointer, e.terms[r].text.view());
    return;
  }
  int g = t.level;
  --t.level;
  e.terms[k].type = t;
  AppendSized(c, k, "peek ", SizeAtLevel(t, g - 1));
}

// &x cancels the load of x, leaving its address. An array, a row of one and
// a function's name are their addresses already, which & keeps.
void EmitAddress(Compiler& c, int k, int r) {
  if (c.expr.terms[r].addressOnly) return;
  AppendCode(c, k, "null_last_line\r\n");
  ++c.expr.terms[k].type.level;
}

// ~x is x xor -1, the all-ones value widened or narrowed to x's size.
void EmitComplement(Compiler& c, int k) {
  int size = TermSize(c, k);
  AppendCode(c, k, "push_parameter -1\r\n");
  if (size != 4) AppendCode(c, k, ChangeSizeLine(4, size).view());
  AppendSized(c, k, "xor ", size);
}

// sizeof evaluates its operand, drops it and pushes its size: a plain number.
void EmitSizeof(Compiler& c, int k) {
  int size = TermSize(c, k);
  AppendSized(c, k, "drop ", size);
  AppendSized(c, k, "push_parameter ", size);
  c.expr.terms[k].type = NumberType();
}

// A comma outside a call's parentheses drops its left value and gives the right.
void EmitComma(Compiler& c, int k, int left, int right) {
  AppendSized(c, left, "drop ", TermSize(c, left));
  c.expr.terms[k].type = c.expr.terms[right].type;
}

// (int), (long), (char) convert the value to a number of their size.
void EmitNumberCast(Compiler& c, int k, int size) {
  ForceSize(c, k, size);
  TypeInfo number = NumberType();
  number.sizes[0] = size;
  c.expr.terms[k].type = number;
}

// (int*), (long*), (char*) make the value an address of objects of their
// pointee size: a dereference reads that many bytes, + and - step by it.
void EmitPointerCast(Compiler& c, int k, int pointee) {
  ForceSize(c, k, 4);
  TypeInfo pointer = NumberType();
  pointer.kind = SymPointer;
  pointer.sizes[0] = pointee;
  pointer.pointeeSizes[1] = pointee;
  pointer.level = 1;
  c.expr.terms[k].type = pointer;
}

// !x is a truth value of x's size: a number, even for an address.
void EmitNot(Compiler& c, int k) {
  int size = TermSize(c, k);
  AppendSized(c, k, "logic_not ", size);
  TypeInfo number = NumberType();
  number.sizes[0] = size;
  c.expr.terms[k].type = number;
}

// The difference of two addresses, in bytes, becomes a number of elements.
void EmitElementCount(Compiler& c, int k) {
  int size = c.expr.terms[k].elementSize;
  if (size != 1) {
    AppendSized(c, k, "push_parameter ", size);
    AppendSized(c, k, "div ", 4);
  }
  c.expr.terms[k].type = NumberType();
}

void EmitRewrite(Compiler& c, int k, int left, std::string_view op, int right) {
  WarnRewrittenTarget(c, k, left);
  FixedText<64> text("@");
  text.append_number(left);
  text.append("=@");
  text.append_number(left);
  text.append(op);
  if (right >= 0) text.append_number(right);
  RewriteAndEvaluate(c, text.view(), k);
}

}  // namespace

void EmitOperator(Compiler& c, int k, int left, int right) {
  ExprState& e = c.expr;
  if (e.failed) return;
  int op = e.terms[k].op;
  if (op == kOpNot) {
    EmitNot(c, k);
    return;
  }
  std::string_view mnemonic = SizedMnemonic(op);
  if (!mnemonic.empty()) {
    AppendSized(c, k, mnemonic, TermSize(c, k));
    if (e.terms[k].elementSize != 0) EmitElementCount(c, k);
    return;
  }
  switch (op) {
    case kOpOpenParen:
      EmitCall(c, k);
      WarnCallArguments(c, k);
      break;
    case kOpOpenBracket:
      EmitSubscript(c, k);
      break;
    case kOpComplement:
      EmitComplement(c, k);
      break;
    case kOpIncrement:
      EmitRewrite(c, k, left, "+1", -1);
      break;
    case kOpDecrement:
      EmitRewrite(c, k, left, "-1", -1);
      break;
    case kOpDeref:
      EmitDereference(c, k, right);
      break;
    case kOpAddress:
      EmitAddress(c, k, right);
      break;
    case kOpSizeof:
      EmitSizeof(c, k);
      break;
    case kOpAssign:
      AppendSized(c, k, "poke ", TermSize(c, left));
      break;
    case kOpAddAssign:
      EmitRewrite(c, k, left, "+@", right);
      break;
    case kOpSubAssign:
      EmitRewrite(c, k, left, "-@", right);
      break;
    case kOpMulAssign:
      EmitRewrite(c, k, left, "*@", right);
      break;
    case kOpDivAssign:
      EmitRewrite(c, k, left, "/@", right);
      break;
    case kOpComma:
      EmitComma(c, k, left, right);
      break;
    case kOpStore:
      AppendCode(c, right, "null_last_line\r\n");
      AppendSized(c, k, "poke ", TermSize(c, right));
      break;
    case kOpArrow:
      AppendCode(c, k, "\r\n");
      break;
    case kOpDot:
      AppendCode(c, left, "null_last_line\r\n");
      AppendCode(c, k, "\r\n");
      break;
    case kOpCastInt:
      EmitNumberCast(c, k, 4);
      break;
    case kOpCastLong:
      EmitNumberCast(c, k, 8);
      break;
    case kOpCastIntPtr:
      EmitPointerCast(c, k, 4);
      break;
    case kOpCastLongPtr:
      EmitPointerCast(c, k, 8);
      break;
    case kOpCastCharPtr:
      EmitPointerCast(c, k, 1);
      break;
    case kOpCastChar:
      EmitNumberCast(c, k, 1);
      break;
    default:
      break;
  }
}

}  // namespace stackcc
