// The rules that make a stackcc program C, for the check against the
// system's C compiler: `fixed` and `public` defined away, the locals of
// functions made static, the device routines stubbed with the script's
// values and logging their calls (with --until-script-ends a call without a
// value ends the program, as it ends the run), main wrapped to give its status and the
// final values of the globals. The built-ins come from stackvm's own C file.
#pragma once

#include <string>
#include <vector>

#include "vm/device_script.h"
#include "vm/program.h"

namespace stackvm {

struct Global {
  std::string name;
  uint32_t width = 4;
};

// Why the source cannot be built as C, or an empty text.
std::string cObstacle(const std::string& source);
// The source with the locals of functions declared static.
std::string staticLocals(const std::string& source);
// The scalar globals declared at the top level of the source.
std::vector<Global> scalarGlobals(const std::string& source, const Program& program);
// The stubs of the device routines, the log of their calls and main.
std::string cStubs(const Program& program, const DeviceScript& script,
                   const std::vector<Global>& globals, bool mainReturnsValue, bool untilScriptEnds);
bool mainReturnsValue(const std::string& source);
// The built-ins of stackvm.h in C.
const char* cBuiltins();

}  // namespace stackvm
