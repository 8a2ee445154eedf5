// stackcc: compiles <base>.c into stack-machine assembly files.
#include <csignal>
#include <memory>

#include "driver/compilation.h"

int main(int argc, char** argv) {
  // A file-size limit makes the write fail instead of killing the run, so the
  // run can report it and leave the last run's files in place.
  std::signal(SIGXFSZ, SIG_IGN);
  std::unique_ptr<stackcc::Compilation> compilation(new stackcc::Compilation);
  return stackcc::RunCompiler(compilation->compiler(), argc, argv);
}
