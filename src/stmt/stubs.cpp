// Stand-in until the statement subsystem lands: declarations first, then one
// expression statement up to ";".
#include "decl/declarations.h"
#include "driver/compiler.h"

namespace stackcc {

std::string_view DispatchStatement(Compiler& c, SourceText text) {
  BeginText(c, text.text, text.length);
  ClearEmit(c);
  if (CompileDeclaration(c, "", 0) != 0) return c.out.emit.view();
  std::string_view stmt = ReadStatementText(c);
  CompileExpression(c, stmt);
  return c.out.emit.view();
}

int CompileFunctionDefinition(Compiler&) { return 0; }

}  // namespace stackcc
