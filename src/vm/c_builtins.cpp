// The built-ins of stackvm.h in C: the text of include/stackvm_builtins.c,
// built in by CMake, so that --compare-gcc links the very file that ships
// with stackvm.
#include "vm/c_build.h"
#include "vm/c_builtins_text.h"

namespace stackvm {

const char* cBuiltins() {
  return kCBuiltinsText;
}

}  // namespace stackvm
