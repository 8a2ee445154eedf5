// The run frame: command line, file naming, the two passes and the exit status.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "driver/fixed_text.h"

namespace stackcc {

struct Compiler;

constexpr int kNameCapacity = 256;  // file names: at most 255 characters
constexpr int kSuffixCapacity = 24;

using FileName = FixedText<kNameCapacity>;

struct DriverState {
  FixedText<kSuffixCapacity> targetSuffix;
  int lineMarkerFlag = 0;
  FileName base;          // the argument cut at the first '.' of its file-name part
  FileName headerBase;    // base, with a final "our90" replaced by "sys90"
  FileName sourceName;    // base + ".c", also the name shown in markers
  std::string sourceDir;  // host directory of the source ("" or ending in '/')
  std::FILE* console = stdout;
  bool stopped = false;  // the run ended early (failed include, failed write)
  int stopStatus = 0;
};

// Runs a whole compilation for the command line; returns the exit status.
int RunCompiler(Compiler& c, int argc, const char* const* argv);

// Limits met on the command line; reported once <base>.err exists.
struct CommandLineIssues {
  bool fileName = false;  // the source name was longer than a file name may be
  bool suffix = false;    // the c option's text was longer than the suffix field
};

// Applies the options and derives the names of a run from argument 1 (the base,
// the "our" suffix rule, the "our90" header rule).
CommandLineIssues ParseCommandLine(Compiler& c, int argc, const char* const* argv);

// The host path of a name as given: both '\' and '/' separate directories.
std::string HostPath(std::string_view name);
// The host path of a file that lives beside the source (Sys10.c, includes with
// relative names, funct1.txt); absolute names stay as they are.
std::string PathBesideSource(const Compiler& c, std::string_view name);
// The host path of a file derived from the base name (<base>.c, <base>.000, ...).
std::string PathOfDerived(std::string_view derivedName);

// Writes console text (the banner, progress lines, error reports).
void Console(Compiler& c, std::string_view text);

// Ends the run early with the given status; the pass loops stop at once.
void StopRun(Compiler& c, int status);

}  // namespace stackcc
