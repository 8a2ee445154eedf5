// The command line of stackvm.
#pragma once

#include <string>
#include <vector>

#include "vm/machine.h"
#include "vm/run_tools.h"

namespace stackvm {

struct DumpRequest {
  std::string name;
  uint32_t width = 4;
};

struct Options {
  std::string base;  // the program's base name: the source up to the first '.' of its file name
  std::string directory;  // where the source is, with its trailing '/', or empty
  RunOptions run;
  std::string scriptPath;
  std::vector<DumpRequest> dumps;
  bool debug = false;        // --debug: the command-line debugger
  std::string commandsPath;  // --commands FILE: its commands in batch
  bool dap = false;          // --dap: the Debug Adapter Protocol on stdin and stdout
  ToolOptions tools;         // expected calls, records, coverage, profiles
  bool help = false;
  bool version = false;
};

// Throws UsageError for a missing source, an unknown option or a bad value.
Options parseOptions(const std::vector<std::string>& args);

const char* usageText();

}  // namespace stackvm
