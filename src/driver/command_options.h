// The options after the source name: the language's own c and d (either lead
// character, either case, unknown letters ignored), and the tool options in
// gcc's spelling (-I, -MD, -MF, -MT, -MP, -W..., -fdiagnostics-format=gcc, -g).
#pragma once

#include <string>
#include <vector>

namespace stackcc {

struct Compiler;

// What the options left to be told once the run has its files.
struct OptionIssues {
  bool suffix = false;  // the c option's text was longer than the suffix field
  // Tool options that could not be taken (a missing value, an unknown warning):
  // told on stderr, the run goes on without them.
  std::vector<std::string> refused;
};

// Applies the options argv[2..argc-1] to the run, left to right. A tool option's
// value is the rest of its argument or the next argument, never an option.
OptionIssues ApplyOptions(Compiler& c, int argc, const char* const* argv);

}  // namespace stackcc
