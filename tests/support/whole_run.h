// Whole runs of the compiler in fresh directories, for tests that compare two
// ways of compiling the same inputs file by file.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/compiler.h"

namespace stackcc::testing {

struct RunOutcome {
  int status = 0;
  std::string console;
  std::map<std::string, std::string> files;  // every file left in the directory
};

using Inputs = std::map<std::string, std::string>;

// Copies the inputs into a fresh directory and runs the compiler there with
// args, after configure has set up the compilation object.
RunOutcome RunIn(const Inputs& inputs, const std::vector<std::string>& args,
                 const std::function<void(Compiler&)>& configure);

// Runs the inputs both ways and expects the same status, console and files.
void ExpectSameRuns(const std::string& label, const Inputs& inputs,
                    const std::vector<std::string>& args, const std::function<void(Compiler&)>& one,
                    const std::function<void(Compiler&)>& other);

// Calls visit with each golden case's name, inputs and command-line words;
// gives the number of cases.
int ForEachGoldenCase(const std::function<void(const std::string&, const Inputs&,
                                               const std::vector<std::string>&)>& visit);

}  // namespace stackcc::testing
