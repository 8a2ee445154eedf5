// The compilation object's constructor: the parts of one run's state are its
// members; it only links the declarations to the function-head handler of the
// statement layer, which they may not include.
#include "driver/compilation.h"

namespace stackcc {

// User-provided, so that a value-initialised Compilation is not zero-filled
// first (several megabytes of buffers).
Compilation::Compilation() {
  // A declaration that turns out to be a function head is the statements'.
  decl_.compileFunctionHead = CompileFunctionDefinition;
}

}  // namespace stackcc
