// The run-wide state (c.run): console output, and stopping the run with a
// status.
#include "io/run_state.h"

#include "base/compiler.h"

namespace stackcc {

void Console(Compiler& c, std::string_view text) {
  if (c.run.console != nullptr && !text.empty()) {
    std::fwrite(text.data(), 1, text.size(), c.run.console);
  }
}

void StopRun(Compiler& c, int status) {
  if (c.run.stopped) return;
  c.run.stopped = true;
  c.run.stopStatus = status;
}

}  // namespace stackcc
