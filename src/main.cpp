// stackcc: compiles <base>.c into stack-machine assembly files.
#include <memory>

#include "driver/compiler.h"

int main(int argc, char** argv) {
  auto compiler = std::make_unique<stackcc::Compiler>();
  return stackcc::RunCompiler(*compiler, argc, argv);
}
