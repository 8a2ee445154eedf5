// The statement dispatcher: each Pass-2 text is offered to the statement
// handlers in a fixed order; the first that recognises its construct compiles
// it, and a text no handler takes is an expression statement.
#include "decl/declarations.h"
#include "driver/compiler.h"

namespace stackcc {

namespace {

using Handler = int (*)(Compiler&);

int CompileDeclarationStatement(Compiler& c) {
  return CompileDeclaration(c, "", 0);
}

constexpr Handler kHandlers[] = {
    CompileDeclarationStatement,
    CompileFor,
    CompileIf,
    CompileElse,
    CompileWhile,
    CompileDo,
    CompileSwitch,
    CompileCase,
    CompileReturn,
    CompileBreak,
    CompileContinue,
    CompileDefault,
    CompileLabel,
    CompileGoto,
    CompileAsm,
    CompileFunctionDefinition,
    CloseBlock,
};

}  // namespace

std::string_view DispatchStatement(Compiler& c, SourceText text) {
  BeginText(c, text.text, text.length);
  ClearEmit(c);
  for (Handler handler : kHandlers) {
    if (handler(c) != 0) return c.out.emit.view();
  }
  CompileExpression(c, ReadStatementText(c));
  return c.out.emit.view();
}

int CompileAsm(Compiler& c) {
  if (!MatchKeyword(c, "ASM")) return 0;
  // The line is the text after the keyword up to the ";", which stays for the
  // next call (where it is an empty statement). It replaces the emit buffer.
  ScanCursor& k = c.scan.cur;
  int start = k.position;
  while (k.position < k.length && k.text[k.position] != ';') ++k.position;
  SetEmit(c, std::string_view(k.text + start, static_cast<std::size_t>(k.position - start)));
  if (k.position >= k.length) ReportError(c, kErrMissingSemicolon, "");
  return 1;
}

}  // namespace stackcc
