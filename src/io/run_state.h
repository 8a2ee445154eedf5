// The run-wide settings and status that every pass reads: the options c and d,
// where the source lives, the console, and whether the run has stopped.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "base/fixed_text.h"

namespace stackcc {

struct Compiler;

constexpr int kSuffixCapacity = 24;

struct RunState {
  FixedText<kSuffixCapacity> targetSuffix;  // the text of the c option
  int lineMarkerFlag = 0;                   // the d option
  std::string sourceDir;  // host directory of the source ("" or ending in '/')
  std::FILE* console = stdout;
  bool stopped = false;  // the run ended early (failed include, failed write)
  int stopStatus = 0;
};

// Writes console text (the banner, progress lines, error reports).
void Console(Compiler& c, std::string_view text);

// Ends the run early with the given status; the pass loops stop at once.
void StopRun(Compiler& c, int status);

}  // namespace stackcc
