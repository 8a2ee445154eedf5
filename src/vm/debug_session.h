// stackvm --debug: the debugger over a loaded program, its commands from a
// terminal or, with --commands FILE, from a file (the transcript on stdout).
#pragma once

#include <string>

#include "vm/debug_info.h"
#include "vm/device_script.h"
#include "vm/host_prototypes.h"
#include "vm/machine.h"

namespace stackvm {

struct DebugSettings {
  std::string base;          // the program's base name: <base>.dbg
  std::string directory;     // where its sources are
  std::string commandsPath;  // empty: commands from stdin
  RunOptions run;
  std::string scriptPath;  // names the script in the messages of its expect lines
};

// The .dbg file when there is one and it reads; else what the labels tell,
// with one note on `notes` saying so.
DebugInfo loadDebugInfo(const Program& program, const std::string& base, const FileReader& reader,
                        std::ostream& notes);

// Gives the status stackvm ends with: the program's exit status, 70 after a
// run-time error, 0 when the session ends before the program does.
int runDebugSession(const Program& program, DeviceScript script, const DebugSettings& settings,
                    Streams io, const FileReader& reader);

}  // namespace stackvm
