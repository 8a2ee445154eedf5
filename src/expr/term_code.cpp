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

namespace {

// Appends the pieces of one line to the term's code; stops the statement (as
// AppendCode does) when they do not fit.
void AppendPieces(Compiler& c, int index, std::string_view a, std::string_view b,
                  std::string_view d) {
  ExprState& e = c.expr;
  if (e.failed) return;
  auto& code = e.terms[index].code;
  std::size_t used = code.size();
  if (used + a.size() + b.size() + d.size() <= code.kCapacity) {
    char* at = code.raw() + used;
    for (std::string_view piece : {a, b, d}) {
      CopyBytes(at, piece.data(), piece.size());
      at += piece.size();
    }
    code.set_length(static_cast<std::size_t>(at - code.raw()));
    return;
  }
  if (!code.append(a) || !code.append(b) || !code.append(d)) {
    ReportError(c, kErrCodeLength, "");
    e.failed = true;
  }
}

}  // namespace

void AppendCode(Compiler& c, int index, std::string_view text) {
  AppendPieces(c, index, text, {}, {});
}

void AppendCodeLine(Compiler& c, int index, std::string_view mnemonic, std::string_view operand) {
  AppendPieces(c, index, mnemonic, operand, "\r\n");
}

void AppendCodeLineNumber(Compiler& c, int index, std::string_view mnemonic, long long value) {
  char buf[24];
  AppendPieces(c, index, mnemonic, DecimalDigits(buf, value), "\r\n");
}

void AppendCodeNumber(Compiler& c, int index, long long value) {
  char buf[24];
  AppendPieces(c, index, DecimalDigits(buf, value), {}, {});
}

void AppendCodeReference(Compiler& c, int index, int target) {
  char buf[24];
  AppendPieces(c, index, "@", DecimalDigits(buf, target), {});
}

}  // namespace stackcc
