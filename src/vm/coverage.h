// Line coverage of a run as an lcov tracefile: per source file its functions
// with their calls, its lines with their execution counts, and both outcomes
// of every conditional jump. Source positions come from the LINE markers of
// a program compiled with -d; without them the lines are those of the code
// file.
#pragma once

#include <iosfwd>
#include <string>

#include "vm/execution_counts.h"

namespace stackvm {

// `directory` is put before relative source names, so that the file names
// are found from where the tracefile is read.
void writeCoverage(std::ostream& out, const Program& program, const ExecutionCounts& counts,
                   const std::string& directory, const std::string& testName);

}  // namespace stackvm
