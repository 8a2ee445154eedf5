// Stand-in until the statement subsystem lands: one statement up to ";".
#include "driver/compiler.h"

namespace stackcc {

std::string_view DispatchStatement(Compiler& c, SourceText text) {
  BeginText(c, text.text, text.length);
  ClearEmit(c);
  std::string_view stmt = ReadStatementText(c);
  CompileExpression(c, stmt);
  return c.out.emit.view();
}

int CompileFunctionDefinition(Compiler&) { return 0; }

}  // namespace stackcc
