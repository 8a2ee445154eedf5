// stackcc: compiles <base>.c into stack-machine assembly files.
#include <cstdlib>
#include <memory>
#include <string_view>

#include "driver/compiler.h"

int main(int argc, char** argv) {
  // Default-initialised: every member has its own initialiser, and the large
  // buffers are left untouched until used.
  std::unique_ptr<stackcc::Compiler> compiler(new stackcc::Compiler);
  // Pass 2 starts while Pass 1 is still running, unless STACKCC_SEQUENTIAL is
  // set (to anything but "0"): then the passes run one after the other.
  const char* sequential = std::getenv("STACKCC_SEQUENTIAL");
  compiler->driver.overlapPasses = sequential == nullptr || std::string_view(sequential) == "0";
  return stackcc::RunCompiler(*compiler, argc, argv);
}
