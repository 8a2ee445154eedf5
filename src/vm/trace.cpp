// The trace written with --trace: every executed instruction with its source
// position and the value on top of the stack after it, and every call of a
// device routine with its arguments.
#include <ostream>

#include "vm/loader.h"
#include "vm/machine.h"

namespace stackvm {

void Machine::traceStep() {
  std::ostream& err = io_.err;
  err << describePosition(program_, pc_) << ": " << program_.text[pc_];
  if (stack_.empty()) {
    err << "    [stack empty]\n";
  } else {
    err << "    [top " << stack_.peekScalar() << ", " << stack_.topWidth() << " bytes]\n";
  }
}

void Machine::traceDevice(const HostRoutine& routine, const std::vector<int64_t>& args) {
  std::ostream& err = io_.err;
  err << routine.name << '(';
  for (size_t i = 0; i < args.size(); ++i) err << (i ? ", " : "") << args[i];
  err << ")\n";
}

}  // namespace stackvm
