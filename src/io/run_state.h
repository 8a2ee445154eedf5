// The run-wide settings and status that every pass reads: the options c and d,
// where the source lives, the console, and whether the run has stopped.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/fixed_text.h"
#include "io/tool_options.h"

namespace stackcc {

struct Compiler;

constexpr int kSuffixCapacity = 24;

struct RunState {
  FixedText<kSuffixCapacity> targetSuffix;  // the text of the c option
  int lineMarkerFlag = 0;                   // the d option
  std::string sourceDir;                    // host directory of the source ("" or ending in '/')
  std::FILE* console = stdout;
  std::FILE* diagnosticsOut = stderr;  // the gcc-style lines and the warnings
  ToolOptions tools;
  // The files the run has read, in the order opened (for the dependency file).
  std::vector<std::string> inputsOpened;
  bool stopped = false;  // the run ended early (failed include, failed write)
  int stopStatus = 0;
};

// Writes console text (the banner, progress lines, error reports).
void Console(Compiler& c, std::string_view text);

// Ends the run early with the given status; the pass loops stop at once.
void StopRun(Compiler& c, int status);

}  // namespace stackcc
