// libFuzzer target for stackvm: the input is split at 0xFF bytes into the
// code file, the three data files, a Sys10.c, an included file, a .dbg file,
// a stream of debugger commands and a device script; the program is loaded
// and, when it loads, run with a small step limit, run again with the script
// checking its device calls while coverage and a profile are counted, and
// then run under the debugger with the commands. Every outcome must be a
// load or run-time error with a position, a debugger's message, or an
// ordinary end.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "vm/coverage.h"
#include "vm/debug_commands.h"
#include "vm/debug_info.h"
#include "vm/debugger.h"
#include "vm/errors.h"
#include "vm/expected_calls.h"
#include "vm/loader.h"
#include "vm/machine.h"
#include "vm/profile.h"

namespace {

std::string part(const uint8_t*& data, size_t& size) {
  const uint8_t* end = data;
  while (end < data + size && *end != 0xFF) ++end;
  std::string text(reinterpret_cast<const char*>(data), static_cast<size_t>(end - data));
  size_t used = static_cast<size_t>(end - data) + (end < data + size ? 1 : 0);
  data += used;
  size -= used;
  return text;
}

// The commands, one a line, at most 64 of them, on the loaded program.
void debugWith(const stackvm::Program& program, const std::string& dbg,
               const std::string& commands) {
  stackvm::DebugInfo info;
  try {
    info = stackvm::parseDebugInfo(dbg, "f.dbg");
  } catch (const stackvm::LoadError& e) {
    if (std::string(e.what()).rfind("f.dbg:", 0) != 0) __builtin_trap();
    info = stackvm::debugInfoFromLabels(program);
  }
  std::istringstream in("3 4");
  std::ostringstream out;
  stackvm::RunOptions options;
  options.steps = 20000;
  stackvm::Debugger debugger(program, std::move(info), {}, options, {in, out, out});
  debugger.setSnapshotInterval(97);
  stackvm::FileReader none = [](const std::string&) { return std::nullopt; };
  stackvm::CommandLine cli(debugger, out, none, "");
  std::istringstream lines(commands);
  int count = 0;
  for (std::string line; count < 64 && std::getline(lines, line); ++count) {
    if (!cli.execute(line)) break;
  }
}

// The script's expect lines checked, its end stopping the run, the calls
// recorded, and the counts written as both file formats.
void runWithScript(const stackvm::Program& program, const std::string& text) {
  stackvm::DeviceScript script;
  try {
    script = stackvm::DeviceScript::parse(text, "s");
  } catch (const stackvm::UsageError& e) {
    if (std::string(e.what()).rfind("s:", 0) != 0) __builtin_trap();
    return;
  }
  std::ostringstream record;
  stackvm::DeviceCalls calls({text.size() % 2 == 0, text.size() % 3 == 0, &record},
                             script.expected(), "s");
  stackvm::RunOptions options;
  options.steps = 20000;
  options.devices = &calls;
  stackvm::ExecutionCounts counts(program, options.steps);
  std::istringstream in("1 2");
  std::ostringstream out;
  stackvm::Machine machine(program, script, options, {in, out, out});
  try {
    machine.start();
    machine.resume(&counts, UINT64_MAX);
    calls.missing();
  } catch (const stackvm::RunError& e) {
    if (std::string(e.what()).find(':') == std::string::npos) __builtin_trap();
  }
  counts.finish();
  stackvm::writeCoverage(out, program, counts, "", "t");
  stackvm::writeProfile(out, program, counts, "", "t");
  stackvm::printProfileSummary(out, program, counts);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  stackvm::CodeFiles files;
  files.base = "f";
  for (std::string& text : files.texts) text = part(data, size);
  std::string sys10 = part(data, size);
  std::string included = part(data, size);
  std::string dbg = part(data, size);
  std::string commands = part(data, size);
  std::string deviceScript = part(data, size);
  stackvm::FileReader reader = [&](const std::string& path) -> std::optional<std::string> {
    if (path == "inc.h") return included;
    return std::nullopt;
  };
  std::ostringstream warnings;
  try {
    stackvm::Prototypes prototypes = stackvm::readPrototypes(sys10, "Sys10.c", "", reader);
    stackvm::Program program = stackvm::loadProgram(files, prototypes, warnings);
    std::istringstream in("12 -7 abc");
    std::ostringstream out;
    stackvm::RunOptions options;
    options.steps = 20000;
    options.trace = size % 2 == 1;
    stackvm::DeviceScript script = stackvm::DeviceScript::parse("sensor 5\nsensor 0x7\n", "s");
    stackvm::Machine machine(program, script, options, {in, out, warnings});
    try {
      machine.run();
    } catch (const stackvm::RunError& e) {
      if (std::string(e.what()).find(':') == std::string::npos) __builtin_trap();
    }
    runWithScript(program, deviceScript);
    debugWith(program, dbg, commands);
  } catch (const stackvm::VmError& e) {
    const std::string message = e.what();
    if (message.find(':') == std::string::npos) __builtin_trap();  // every error has a position
  }
  return 0;
}
