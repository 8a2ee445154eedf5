#include "vm/compare_gcc.h"

#include <stdlib.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vm/c_build.h"
#include "vm/command.h"
#include "vm/errors.h"
#include "vm/expected_calls.h"
#include "vm/loader.h"
#include "vm/warned_lines.h"

namespace stackvm {

namespace {

constexpr int kDiffer = 1;
constexpr int kNotC = 2;
constexpr uint64_t kEndOfRun = UINT64_MAX;
constexpr size_t kWarnedLinesShown = 5;

// What one side of the comparison did.
struct Outcome {
  std::string out;
  int status = 0;
  std::vector<std::string> calls;
  std::vector<std::string> globals;  // "name = value"
};

// Which instruction wrote each stretch of the output, and when each device
// call was made (in steps of the run).
class OutputWatch : public Supervisor {
 public:
  OutputWatch(std::ostringstream& out, const std::vector<std::string>& places)
      : out_(out), places_(places) {}
  bool stopBefore(const Machine& machine) override {
    const size_t size = static_cast<size_t>(out_.tellp());
    if (size != written_) {
      writers_.push_back({size, last_, lastTime_});
      written_ = size;
    }
    while (callTimes_.size() < places_.size()) callTimes_.push_back(lastTime_);
    last_ = machine.pc();
    lastTime_ = machine.executed();
    return false;
  }
  struct Writer {
    size_t end;  // of the stretch it wrote
    uint32_t pc;
    uint64_t time;
  };
  // The instruction that wrote the byte at `offset`, if known.
  std::optional<Writer> writerOf(size_t offset) const {
    for (const Writer& w : writers_) {
      if (offset < w.end) return w;
    }
    return std::nullopt;
  }
  // When device call `index` was made; a call that ended the run, at its end.
  uint64_t callTime(size_t index) const {
    return index < callTimes_.size() ? callTimes_[index] : kEndOfRun;
  }

 private:
  std::ostringstream& out_;
  const std::vector<std::string>& places_;
  std::vector<Writer> writers_;
  std::vector<uint64_t> callTimes_;
  size_t written_ = 0;
  uint32_t last_ = 0;
  uint64_t lastTime_ = 0;
};

std::string quoted(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Outcome runStackvm(const Program& program, DeviceScript script, const Options& o,
                   const std::string& input, const std::vector<Global>& globals,
                   std::vector<std::string>& places, Supervisor& watch, std::ostringstream& out,
                   std::ostream& err) {
  std::ostringstream record;
  DeviceCallSettings settings;
  settings.record = &record;
  settings.places = &places;
  settings.untilScriptEnds = o.tools.untilScriptEnds;
  DeviceCalls calls(settings, {}, o.scriptPath);
  RunOptions run = o.run;
  run.devices = &calls;
  std::istringstream in(input);
  Machine machine(program, std::move(script), run, {in, out, err});
  Outcome r;
  try {
    machine.start();
    machine.resume(&watch, UINT64_MAX);
    r.status = machine.status();
  } catch (const RunError& e) {
    err << "stackvm: " << e.what() << '\n';
    r.status = e.status;
  }
  r.out = out.str();
  for (const std::string& line : linesOf(record.str())) {
    if (line.rfind("expect ", 0) == 0) r.calls.push_back(line.substr(7));
  }
  for (const Global& g : globals) {
    std::optional<int64_t> v = machine.readData(program.dataLabels.at(g.name), g.width);
    r.globals.push_back(g.name + " = " + std::to_string(v.value_or(0)));
  }
  return r;
}

// A fresh directory for the C build; removed at the end.
class WorkDirectory {
 public:
  WorkDirectory() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/stackvm-cc-XXXXXX";
    if (!mkdtemp(pattern.data())) throw UsageError("--compare-gcc: cannot make a work directory");
    path_ = pattern;
  }
  ~WorkDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

void writeText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) throw UsageError(path + ": cannot be written");
}

// Builds the C program, wrapping signed overflow when wrap is set; gives the
// compiler's messages when it fails.
std::optional<std::string> buildC(const WorkDirectory& work, const std::string& source,
                                  const Program& program, const DeviceScript& script,
                                  const Options& o, const std::vector<Global>& globals, bool wrap) {
  writeText(work.file("prog.c"), staticLocals(source));
  writeText(work.file("stubs.c"),
            cStubs(program, script, globals, mainReturnsValue(source), o.tools.untilScriptEnds));
  writeText(work.file("builtins.c"), cBuiltins());
  const std::string dir =
      std::filesystem::absolute(o.directory.empty() ? "." : o.directory).lexically_normal();
  const std::string flags =
      std::string(" -w -O0 ") + (wrap ? "-fwrapv " : "") + "-fno-builtin -Dfixed= -Dpublic= ";
  const std::string cd = "cd " + quoted(work.path()) + " && ";
  const std::string first = cd + o.tools.cc + flags + "-Dmain=stackvm_program_main -iquote " +
                            quoted(dir) + " -include " + quoted(dir + "/Sys10.c") +
                            " -c prog.c -o prog.o >cc.txt 2>&1";
  const std::string second =
      cd + o.tools.cc + flags + "stubs.c builtins.c prog.o -o prog >>cc.txt 2>&1";
  if (std::system(first.c_str()) != 0 || std::system(second.c_str()) != 0)
    return readText(work.file("cc.txt"));
  return std::nullopt;
}

Outcome runC(const WorkDirectory& work, const std::string& input,
             const std::vector<Global>& globals) {
  writeText(work.file("input"), input);
  const std::string command =
      "cd " + quoted(work.path()) + " && timeout 60 ./prog <input >out.txt 2>err.txt";
  const int raw = std::system(command.c_str());
  Outcome r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  r.out = readText(work.file("out.txt"));
  r.calls = linesOf(readText(work.file("calls.txt")));
  r.globals = linesOf(readText(work.file("globals.txt")));
  if (r.globals.empty()) {
    for (const Global& g : globals) r.globals.push_back(g.name + " = (not written)");
  }
  return r;
}

size_t firstDifference(const std::string& a, const std::string& b) {
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return i;
}

std::string excerpt(const std::string& text, size_t at) {
  if (at >= text.size()) return "the end of the output";
  std::string quotedPart(1, '"');
  quotedPart.append(printable(text.substr(at, 20)));
  quotedPart.push_back('"');
  return quotedPart;
}

struct Difference {
  std::string text;           // empty when the two agree
  uint64_t time = kEndOfRun;  // the step of stackvm's run where it shows
};

// The first difference, if any.
Difference difference(const Program& program, const Outcome& vm, const Outcome& c,
                      const OutputWatch& watch, const std::vector<std::string>& places) {
  if (vm.out != c.out) {
    const size_t at = firstDifference(vm.out, c.out);
    std::optional<OutputWatch::Writer> writer = watch.writerOf(at);
    std::string where = writer ? describePosition(program, writer->pc) : "the end of the run";
    return {where + ": the output differs from byte " + std::to_string(at) + ": stackvm wrote " +
                excerpt(vm.out, at) + ", the C build " + excerpt(c.out, at),
            writer ? writer->time : kEndOfRun};
  }
  const size_t n = std::min(vm.calls.size(), c.calls.size());
  for (size_t i = 0; i <= n; ++i) {
    if (i == n && vm.calls.size() == c.calls.size()) break;
    const std::string mine = i < vm.calls.size() ? vm.calls[i] : "no call";
    const std::string theirs = i < c.calls.size() ? c.calls[i] : "no call";
    if (mine == theirs) continue;
    const std::string where = i < places.size() ? places[i] : "the end of the run";
    return {where + ": device call " + std::to_string(i + 1) + ": stackvm made " + mine +
                ", the C build " + theirs,
            i < places.size() ? watch.callTime(i) : kEndOfRun};
  }
  if (vm.status != c.status) {
    return {"the exit status differs: " + std::to_string(vm.status) + " from stackvm, " +
            std::to_string(c.status) + " from the C build"};
  }
  for (size_t i = 0; i < vm.globals.size() && i < c.globals.size(); ++i) {
    if (vm.globals[i] != c.globals[i]) {
      return {"the globals differ at the end: stackvm has " + vm.globals[i] + ", the C build " +
              c.globals[i]};
    }
  }
  return {};
}

// The lines stackcc -Wall warns about that ran before the difference, the
// last first: the likeliest causes. Found by running stackvm again up to the
// difference (the run is the same with the same script and input).
std::string warnedLinesBefore(const Program& program, const DeviceScript& script, const Options& o,
                              const std::string& input, const WorkDirectory& work, uint64_t time) {
  const Warnings warnings =
      stackccWarnings(stackccBesideStackvm(), o.base + ".c", o.directory, work.path());
  if (!warnings.problem.empty()) return printable(warnings.problem).insert(0, 1, '(') + ")\n";
  if (warnings.lines.empty()) return "";
  WarnedLineClock clock(program, warnings.lines, time);
  std::vector<std::string> places;
  std::ostringstream out, errors;
  runStackvm(program, script, o, input, {}, places, clock, out, errors);
  const std::vector<const WarnedLine*> ran = clock.ranLastFirst();
  if (ran.empty()) return "";
  std::string text = "lines with a warning of stackcc -Wall that ran before it, the last first:\n";
  for (size_t i = 0; i < ran.size() && i < kWarnedLinesShown; ++i)
    text += "  " + printable(ran[i]->text) + "\n";
  if (ran.size() > kWarnedLinesShown)
    text += "  (and " + std::to_string(ran.size() - kWarnedLinesShown) + " more)\n";
  return text;
}

std::string slurp(std::istream& in) {
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

int compareWithC(const Program& program, DeviceScript script, const Options& o, Streams io) {
  const std::string sourcePath = o.base + ".c";
  std::optional<std::string> source = readFile(sourcePath);
  if (!source) throw UsageError(sourcePath + ": cannot be read");
  const std::string obstacle = cObstacle(*source);
  if (!obstacle.empty()) {
    io.err << "stackvm: " << sourcePath << " cannot be built as C: " << obstacle << '\n';
    return kNotC;
  }
  const std::vector<Global> globals = scalarGlobals(*source, program);
  WorkDirectory work;
  if (std::optional<std::string> messages =
          buildC(work, *source, program, script, o, globals, true)) {
    io.err << "stackvm: " << sourcePath << " cannot be built as C; " << o.tools.cc << " says:\n"
           << *messages;
    return kNotC;
  }
  const std::string input = slurp(io.in);
  std::ostringstream out;
  std::vector<std::string> places;
  OutputWatch watch(out, places);
  std::ostringstream vmErrors;
  const Outcome vm = runStackvm(program, script, o, input, globals, places, watch, out, vmErrors);
  Outcome c = runC(work, input, globals);
  if (c.status == 128 + SIGFPE &&
      !buildC(work, *source, program, script, o, globals, false).has_value()) {
    // gcc 12 folds "a - b / c" into "a + b / -c" under -fwrapv, which traps
    // for b = INT_MIN and c = 1 although C's division does not: the program
    // is built again without -fwrapv (at -O0 gcc still wraps there).
    c = runC(work, input, globals);
  }
  const Difference diff = difference(program, vm, c, watch, places);
  if (diff.text.empty()) {
    io.out << "stackvm and the C build agree: " << vm.out.size() << " bytes of output, "
           << vm.calls.size() << " device calls, status " << vm.status << ", " << globals.size()
           << " globals\n";
    return 0;
  }
  io.err << printable(diff.text) << '\n'
         << warnedLinesBefore(program, script, o, input, work, diff.time) << vmErrors.str();
  return kDiffer;
}

}  // namespace stackvm
