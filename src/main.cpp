// stackcc: compiles <base>.c into stack-machine assembly files.
#include <memory>

#include "driver/compilation.h"

int main(int argc, char** argv) {
  std::unique_ptr<stackcc::Compilation> compilation(new stackcc::Compilation);
  return stackcc::RunCompiler(compilation->compiler(), argc, argv);
}
