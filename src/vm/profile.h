// Profiles of a run: instructions per source line and per function, with the
// calls between functions and what they cost inclusively, in the callgrind
// format; and a short table of the costliest functions and lines.
#pragma once

#include <iosfwd>
#include <string>

#include "vm/execution_counts.h"

namespace stackvm {

void writeProfile(std::ostream& out, const Program& program, const ExecutionCounts& counts,
                  const std::string& directory, const std::string& command);

// At most `rows` functions and lines each, the costliest first.
void printProfileSummary(std::ostream& err, const Program& program, const ExecutionCounts& counts,
                         size_t rows = 10);

}  // namespace stackvm
