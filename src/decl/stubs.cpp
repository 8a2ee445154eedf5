// Stand-ins for the operations of the declaration subsystem not built yet.
#include "decl/data_layout.h"
#include "decl/declarations.h"
#include "driver/compiler.h"

namespace stackcc {

void EmitLabel(Compiler& c, std::string_view name) {
  Emit(c, name);
  Emit(c, ":\r\n");
}
int HoistStringLiterals(Compiler&, FixedText<1024>&) {
  return 1;
}
int CompileDeclaration(Compiler&, std::string_view, int) {
  return 0;
}

}  // namespace stackcc
