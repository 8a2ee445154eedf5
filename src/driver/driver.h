// The run frame: command line, file naming, the two passes and the exit status.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/fixed_text.h"

namespace stackcc {

struct Compiler;

constexpr int kNameCapacity = 256;  // file names: at most 255 characters

using FileName = FixedText<kNameCapacity>;

// The names of a run's files, derived from the source name.
struct DriverState {
  FileName base;        // the argument cut at the first '.' of its file-name part
  FileName headerBase;  // base, with a final "our90" replaced by "sys90"
  FileName sourceName;  // base + ".c", also the name shown in markers
};

// Runs a whole compilation for the command line; returns the exit status.
int RunCompiler(Compiler& c, int argc, const char* const* argv);

// Limits met on the command line; reported once <base>.err exists.
struct CommandLineIssues {
  bool fileName = false;             // the source name was longer than a file name may be
  bool suffix = false;               // the c option's text was longer than the suffix field
  std::vector<std::string> refused;  // tool options that could not be taken
  // The argument names an existing file whose name holds a dot but is not
  // <base>.c (motor.v2.c, prog.txt): cutting it at the first dot would compile
  // another file, so nothing is compiled.
  bool misnamed = false;
};

// Applies the options and derives the names of a run from argument 1 (the base,
// the "our" suffix rule, the "our90" header rule).
CommandLineIssues ParseCommandLine(Compiler& c, int argc, const char* const* argv);

}  // namespace stackcc
