// stackcc: compiles <base>.c into stack-machine assembly files.
#include <memory>

#include "driver/compiler.h"

int main(int argc, char** argv) {
  // Default-initialised: every member has its own initialiser, and the large
  // buffers are left untouched until used.
  std::unique_ptr<stackcc::Compiler> compiler(new stackcc::Compiler);
  return stackcc::RunCompiler(*compiler, argc, argv);
}
