// The dependency file of -MD: a make rule whose targets are the files a run
// writes and whose prerequisites are the files it read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace stackcc {

struct Compiler;

// A file name as make reads it in a rule: blanks, '#' and '$' escaped.
std::string MakeEscaped(std::string_view name);

// The text of the rule: targets, then prerequisites in the order given (each
// once), and with phonyHeaders an empty rule for every prerequisite after the
// first, so that make does not stop when a header has gone.
std::string DependencyRule(const std::vector<std::string>& targets,
                           const std::vector<std::string>& prerequisites, bool phonyHeaders);

// Writes the run's dependency file when -MD asked for one; false when it could
// not be written (already reported on the console).
bool WriteDependencyFile(Compiler& c);

}  // namespace stackcc
