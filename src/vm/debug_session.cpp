#include "vm/debug_session.h"

#include <istream>
#include <ostream>
#include <sstream>

#include "vm/debug_commands.h"
#include "vm/errors.h"
#include "vm/line_input.h"

namespace stackvm {

DebugInfo loadDebugInfo(const Program& program, const std::string& base, const FileReader& reader,
                        std::ostream& notes) {
  const std::string path = base + ".dbg";
  try {
    if (std::optional<std::string> text = reader(path)) return parseDebugInfo(*text, path);
    notes << "No debug information (" << printable(path)
          << "): names come from the labels, without types.\n";
  } catch (const LoadError& e) {
    notes << e.what() << "\nThe debug information is ignored: names come from the labels, "
          << "without types.\n";
  }
  return debugInfoFromLabels(program);
}

int runDebugSession(const Program& program, DeviceScript script, const DebugSettings& settings,
                    Streams io, const FileReader& reader) {
  std::optional<std::string> commands;
  if (!settings.commandsPath.empty()) {
    commands = reader(settings.commandsPath);
    if (!commands) throw UsageError(settings.commandsPath + ": cannot be read");
  }
  DebugInfo info = loadDebugInfo(program, settings.base, reader, io.out);
  // With commands from stdin the program reads nothing.
  std::istringstream none;
  Streams programIo{commands ? io.in : none, io.out, io.err};
  Debugger debugger(program, std::move(info), std::move(script), settings.run, programIo);
  if (!settings.scriptPath.empty()) debugger.setScriptName(settings.scriptPath);
  CommandLine cli(debugger, io.out, reader, settings.directory);
  if (commands) {
    std::istringstream lines(*commands);
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty() || line[0] == '#') continue;
      io.out << "(stackvm) " << printable(line) << '\n';
      if (!cli.execute(line)) break;
    }
  } else {
    LineInput input(io.in);
    while (std::optional<std::string> line = input.read("(stackvm) ")) {
      if (!cli.execute(*line)) break;
    }
  }
  io.out.flush();
  return cli.status();
}

}  // namespace stackvm
