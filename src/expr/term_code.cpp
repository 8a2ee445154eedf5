// Appending to a term's code, and stopping a statement on an expression error.
// A term's code is at most 4095 characters; beyond that the statement stops.
#include "driver/compiler.h"
#include "expr/parser.h"

namespace stackcc {

void StopExpression(Compiler& c, std::string_view detail) {
  if (c.expr.failed) return;
  ReportError(c, kErrExpression, detail);
  c.expr.failed = true;
}

void AppendCode(Compiler& c, int index, std::string_view text) {
  ExprState& e = c.expr;
  if (e.failed) return;
  if (!e.terms[index].code.append(text)) {
    ReportError(c, kErrCodeLength, "");
    e.failed = true;
  }
}

void AppendCodeLine(Compiler& c, int index, std::string_view mnemonic, std::string_view operand) {
  FixedText<kTermTextCapacity + 64> line(mnemonic);
  line.append(operand);
  line.append("\r\n");
  AppendCode(c, index, line.view());
}

void AppendCodeLineNumber(Compiler& c, int index, std::string_view mnemonic, long long value) {
  FixedText<64> line(mnemonic);
  line.append_number(value);
  line.append("\r\n");
  AppendCode(c, index, line.view());
}

void AppendCodeNumber(Compiler& c, int index, long long value) {
  FixedText<24> digits;
  digits.append_number(value);
  AppendCode(c, index, digits.view());
}

void AppendCodeReference(Compiler& c, int index, int target) {
  FixedText<24> reference("@");
  reference.append_number(target);
  AppendCode(c, index, reference.view());
}

}  // namespace stackcc
