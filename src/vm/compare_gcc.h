// stackvm prog.c --compare-gcc [--cc CMD]: the program built also with the
// system's C compiler under the rules of c_build.h, both run with the same
// script and standard input, and their output, exit status, device calls
// and final globals compared. 0 when they agree, 1 when they differ, 2 when
// the program cannot be built as C.
#pragma once

#include <string>

#include "vm/device_script.h"
#include "vm/machine.h"
#include "vm/options.h"

namespace stackvm {

int compareWithC(const Program& program, DeviceScript script, const Options& options, Streams io);

}  // namespace stackvm
