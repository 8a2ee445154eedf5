// The lines of a program that stackcc -Wall warns about, for the check
// against the C compiler: on a difference it names the warned lines that ran
// before it, since each warning marks a place where the language is not C.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vm/machine.h"

namespace stackvm {

struct WarnedLine {
  std::string file;  // as stackcc names it
  uint32_t line = 0;
  std::string text;  // the whole warning: "file:line: warning: ... [-Wname]"
};

struct Warnings {
  std::vector<WarnedLine> lines;
  std::string problem;  // why stackcc could not be asked, or empty
};

// Compiles a copy of the source in `workDirectory` with `stackcc -Wall`
// (includes and Sys10.c from `sourceDirectory`) and reads its warnings.
Warnings stackccWarnings(const std::string& stackcc, const std::string& sourcePath,
                         const std::string& sourceDirectory, const std::string& workDirectory);

// The stackcc beside the running stackvm, else the one on the PATH.
std::string stackccBesideStackvm();

// Watches a run up to a step and keeps, for each warned line, the last step
// at which one of its instructions ran.
class WarnedLineClock : public Supervisor {
 public:
  WarnedLineClock(const Program& program, const std::vector<WarnedLine>& warned, uint64_t until);
  bool stopBefore(const Machine& machine) override;
  // The warned lines that ran, the last run first.
  std::vector<const WarnedLine*> ranLastFirst() const;

 private:
  const std::vector<WarnedLine>& warned_;
  std::vector<std::vector<uint32_t>> warnedAt_;  // per instruction: indexes into warned_
  std::vector<uint64_t> lastRun_;                // per warned line, step + 1 (0: never)
  uint64_t until_;
};

}  // namespace stackvm
