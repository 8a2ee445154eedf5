#include "driver/command_options.h"

#include <string_view>

#include "base/compiler.h"
#include "io/run_state.h"

namespace stackcc {

namespace {

struct Arguments {
  int argc;
  const char* const* argv;
  int at;  // the argument in hand
};

// The value of an option spelled as a prefix ("-MF" FILE or "-MFFILE"); false
// when the command line ends before it.
bool TakeValue(Arguments& a, std::string_view prefix, std::string* value) {
  std::string_view arg = a.argv[a.at];
  if (arg.size() > prefix.size()) {
    *value = arg.substr(prefix.size());
    return true;
  }
  if (a.at + 1 >= a.argc) return false;
  *value = a.argv[++a.at];
  return true;
}

bool ApplyWarning(ToolOptions& o, std::string_view name) {
  if (name == "all") {
    o.warnings.set();
    return true;
  }
  if (name == "error") {
    o.warningsAreErrors = true;
    return true;
  }
  bool off = name.substr(0, 3) == "no-";
  Warning w = WarningNamed(off ? name.substr(3) : name);
  if (w == Warning::kCount) return off;  // an unknown -Wno-... is quietly taken, as gcc does
  o.warnings.set(static_cast<std::size_t>(w), !off);
  return true;
}

// A tool option at a.at: true when it was one (taken or refused).
bool ApplyToolOption(Compiler& c, Arguments& a, OptionIssues& issues) {
  ToolOptions& o = c.run.tools;
  std::string_view arg = a.argv[a.at];
  std::string value;
  auto valueOf = [&](std::string_view prefix, std::string* into) {
    if (!TakeValue(a, prefix, into)) issues.refused.push_back(std::string(arg) + " needs a value");
  };
  if (arg == "-MD") {
    o.dependencies.write = true;
  } else if (arg == "-MP") {
    o.dependencies.phonyHeaders = true;
  } else if (arg.substr(0, 3) == "-MF") {
    valueOf("-MF", &o.dependencies.file);
  } else if (arg.substr(0, 3) == "-MT") {
    valueOf("-MT", &value);
    if (!value.empty()) o.dependencies.targets.push_back(value);
  } else if (arg.substr(0, 2) == "-I") {
    valueOf("-I", &value);
    if (!value.empty()) o.includeDirs.push_back(value);
  } else if (arg.substr(0, 2) == "-W" && arg.size() > 2) {
    if (!ApplyWarning(o, arg.substr(2)))
      issues.refused.push_back("unknown warning " + std::string(arg));
  } else if (arg == "-fdiagnostics-format=gcc") {
    o.gccDiagnostics = true;
  } else if (arg == "-g") {
    o.debugInfo = true;
    c.run.lineMarkerFlag = 1;  // the debug information goes with the line markers
  } else {
    return false;
  }
  return true;
}

}  // namespace

OptionIssues ApplyOptions(Compiler& c, int argc, const char* const* argv) {
  OptionIssues issues;
  for (Arguments a{argc, argv, 2}; a.at < argc; ++a.at) {
    std::string_view arg = argv[a.at];
    if (arg.size() < 1 || (arg[0] != '/' && arg[0] != '-')) continue;
    if (arg[0] == '-' && ApplyToolOption(c, a, issues)) continue;
    char letter = static_cast<char>((arg.size() > 1 ? arg[1] : '\0') | 0x20);
    if (letter == 'c') {
      std::string_view suffix = arg.substr(arg.size() >= 2 ? 2 : arg.size());
      issues.suffix = !c.run.targetSuffix.assign(suffix);
    } else if (letter == 'd') {
      c.run.lineMarkerFlag = 1;
    }
  }
  return issues;
}

}  // namespace stackcc
