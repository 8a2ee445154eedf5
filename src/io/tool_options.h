// The options a run takes beyond the language's own c and d: where include
// files are searched, the dependency file for make, the diagnostics format,
// the warnings, and the debug information. None of them changes a byte of the
// files a run writes without them.
#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

namespace stackcc {

// The warnings, each about a construct that means something else here than in C.
enum class Warning : int {
  kShortCircuit,
  kCharArithmetic,
  kLeadingZero,
  kArgumentOrder,
  kTargetTwice,
  kSwitchSubject,
  kKeywordPrefix,
  kRecursion,
  kIncrementValue,
  kLowercaseDirective,
  kNumberRange,
  kInitializerBraces,
  kStringEscape,
  kUnused,
  kCount,
};

// The name after -W, or empty past the table.
std::string_view WarningName(Warning w);
// The warning a name selects; kCount when there is none.
Warning WarningNamed(std::string_view name);

struct DependencyOptions {
  bool write = false;                // -MD
  std::string file;                  // -MF: empty for <base>.d
  std::vector<std::string> targets;  // -MT: empty for the files the run writes
  bool phonyHeaders = false;         // -MP
};

struct ToolOptions {
  std::vector<std::string> includeDirs;  // -I, searched in order
  DependencyOptions dependencies;
  bool gccDiagnostics = false;  // -fdiagnostics-format=gcc
  std::bitset<static_cast<int>(Warning::kCount)> warnings;
  bool warningsAreErrors = false;  // -Werror
  bool debugInfo = false;          // -g
};

inline bool WarningOn(const ToolOptions& o, Warning w) {
  return o.warnings.test(static_cast<std::size_t>(w));
}

}  // namespace stackcc
