// Stand-in until the expression compiler lands: the statement text as one line.
#include "driver/compiler.h"

namespace stackcc {

int CompileExpression(Compiler& c, std::string_view text) {
  Emit(c, text);
  Emit(c, "\r\n");
  return 0;
}

}  // namespace stackcc
