// stackcc: compiles <base>.c into stack-machine assembly files.
#include <cstdlib>
#include <memory>
#include <string_view>

#include "driver/compiler.h"

int main(int argc, char** argv) {
  // Default-initialised: every member has its own initialiser, and the large
  // buffers are left untouched until used.
  std::unique_ptr<stackcc::Compiler> compiler(new stackcc::Compiler);
  // The passes run one after the other. With STACKCC_OVERLAP set (to anything
  // but "0"), Pass 2 of a large source starts while Pass 1 is still running;
  // since repeated statements reuse their code, Pass 2 is cheap enough that
  // the second thread costs more than it wins, so this is no longer the default.
  const char* overlap = std::getenv("STACKCC_OVERLAP");
  compiler->driver.overlapPasses = overlap != nullptr && std::string_view(overlap) != "0";
  return stackcc::RunCompiler(*compiler, argc, argv);
}
