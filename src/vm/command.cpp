// The stackvm command: parses the options, reads the four code files, Sys10.c
// and the script, loads and runs the program and turns the outcome into the
// exit status and messages. Holds nothing between calls.
#include "vm/command.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ostream>

#include "stackcc/version.h"
#include "vm/compare_gcc.h"
#include "vm/dap.h"
#include "vm/debug_session.h"
#include "vm/errors.h"
#include "vm/loader.h"
#include "vm/options.h"

namespace stackvm {

namespace {

constexpr const char* kVersion =
    "stackvm " STACKCC_VERSION " (language " STACKCC_LANGUAGE_VERSION ")";

CodeFiles readCodeFiles(const Options& o, const FileReader& reader) {
  CodeFiles files;
  files.base = o.base;
  for (int k = 0; k < 4; ++k) {
    std::string name = o.base + ".00" + std::to_string(k + 1);
    std::optional<std::string> text = reader(name);
    if (!text) throw LoadError(name + ": cannot be read (compile the program with stackcc first)");
    files.texts[k] = std::move(*text);
  }
  return files;
}

Prototypes readSystemFile(const Options& o, const FileReader& reader) {
  std::optional<std::string> text = reader(o.directory + "Sys10.c");
  if (!text) return {};
  return readPrototypes(*text, "Sys10.c", o.directory, reader);
}

DeviceScript readScript(const Options& o, const FileReader& reader) {
  if (o.scriptPath.empty()) return {};
  std::optional<std::string> text;
  try {
    text = reader(o.scriptPath);
  } catch (const LoadError& e) {
    throw UsageError(e.what());
  }
  if (!text) throw UsageError(o.scriptPath + ": cannot be read");
  return DeviceScript::parse(*text, o.scriptPath);
}

void checkScriptNames(const Program& program, const DeviceScript& script, const Options& o,
                      std::ostream& err) {
  for (const std::string& name : script.names()) {
    bool device = false;
    for (const HostRoutine& h : program.hosts) device = device || (h.name == name && h.builtin < 0);
    if (!device) {
      err << o.scriptPath << ": warning: " << name << " is no device routine the program calls\n";
    }
  }
}

void checkDumps(const Program& program, const Options& o) {
  for (const DumpRequest& d : o.dumps) {
    if (!program.dataLabels.count(d.name))
      throw UsageError("--dump " + d.name + ": no data label of that name");
  }
}

void printDumps(const Program& program, const Machine& machine, const Options& o,
                std::ostream& err) {
  for (const DumpRequest& d : o.dumps) {
    std::optional<int64_t> v = machine.readData(program.dataLabels.at(d.name), d.width);
    err << d.name << " = ";
    if (v) {
      err << *v << '\n';
    } else {
      err << "(past the end of the data)\n";
    }
  }
}

int runLoaded(const Program& program, DeviceScript script, const Options& o, Streams io) {
  RunTools tools(program, script, o.tools, {o.base, o.directory, o.scriptPath});
  Machine machine(program, std::move(script), tools.runOptions(o.run), io);
  int status = 0;
  bool failed = false;
  try {
    status = tools.run(machine);
  } catch (const RunError& e) {
    io.out.flush();
    io.err << e.what() << '\n';
    status = e.status;
    failed = status != 0;
  }
  status = tools.finish(status, failed, io.err);
  io.out.flush();
  if (io.out.fail() && status != kRunErrorStatus) {
    io.err << "stackvm: the program's output could not be written\n";
    status = kRunErrorStatus;
  }
  printDumps(program, machine, o, io.err);
  return status;
}

}  // namespace

LoadedProgram loadForOptions(const Options& o, const FileReader& reader, std::ostream& warnings) {
  DeviceScript script = readScript(o, reader);
  CodeFiles files = readCodeFiles(o, reader);
  Prototypes prototypes = readSystemFile(o, reader);
  Program program = loadProgram(files, prototypes, warnings);
  checkScriptNames(program, script, o, warnings);
  return {std::move(program), std::move(script)};
}

namespace {

int runOptions(const Options& o, Streams io, const FileReader& reader) {
  auto [program, script] = loadForOptions(o, reader, io.err);
  checkDumps(program, o);
  if (o.tools.compareGcc) return compareWithC(program, std::move(script), o, io);
  if (o.debug) {
    DebugSettings settings{o.base, o.directory, o.commandsPath, o.run, o.scriptPath};
    return runDebugSession(program, std::move(script), settings, io, reader);
  }
  return runLoaded(program, std::move(script), o, io);
}

}  // namespace

std::optional<std::string> readFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    throw LoadError(path + ": cannot be read: " + std::strerror(errno));
  }
  std::string bytes;
  char block[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n == 0) break;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int cause = errno;
      ::close(fd);
      throw LoadError(path + ": cannot be read: " + std::strerror(cause));
    }
    bytes.append(block, static_cast<size_t>(n));
  }
  ::close(fd);
  return bytes;
}

int runCommand(const std::vector<std::string>& args, Streams io, const FileReader& reader) {
  try {
    Options o = parseOptions(args);
    if (o.help) {
      io.out << usageText();
      return 0;
    }
    if (o.version) {
      io.out << kVersion << '\n';
      return 0;
    }
    if (o.dap) return runDapSession(io, reader);
    return runOptions(o, io, reader);
  } catch (const UsageError& e) {
    io.err << "stackvm: " << e.what() << '\n' << "Try 'stackvm --help'.\n";
    return e.status;
  } catch (const VmError& e) {
    io.err << e.what() << '\n';
    return e.status;
  }
}

}  // namespace stackvm
