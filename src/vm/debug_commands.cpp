#include "vm/debug_commands.h"

#include <algorithm>

#include "vm/addresses.h"
#include "vm/errors.h"
#include "vm/numbers.h"

namespace stackvm {

namespace {

std::string trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  const size_t last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

std::pair<std::string, std::string> firstWord(const std::string& s) {
  const std::string t = trimmed(s);
  const size_t end = t.find_first_of(" \t/");
  if (end == std::string::npos) return {t, ""};
  return {t.substr(0, end), t[end] == '/' ? t.substr(end) : trimmed(t.substr(end))};
}

std::optional<int> smallNumber(const std::string& s) {
  if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  return std::stoi(s);
}

std::string hex(uint64_t v, int digits = 0) {
  static const char table[] = "0123456789abcdef";
  std::string s;
  do {
    s.insert(s.begin(), table[v & 15]);
    v >>= 4;
  } while (v != 0);
  while (static_cast<int>(s.size()) < digits) s.insert(s.begin(), '0');
  return "0x" + s;
}

// "/x" from the front of a print's arguments.
char takeFormat(std::string& args) {
  if (args.size() < 2 || args[0] != '/') return 0;
  const char f = args[1];
  if (f != 'x' && f != 'd' && f != 'c' && f != 's')
    throw DebugError(std::string("Undefined output format \"") + f + "\".");
  args = trimmed(args.substr(2));
  return f;
}

// x/NFU: a count, a format letter (x d c s) and a unit (b h w g), taken from
// the front of the arguments.
struct ExamineFormat {
  uint32_t count = 1;
  uint32_t unit = 4;
  char format = 'x';
};

ExamineFormat examineFormat(std::string& args) {
  ExamineFormat f;
  if (args.empty() || args[0] != '/') return f;
  size_t i = 1;
  if (i < args.size() && std::isdigit(static_cast<unsigned char>(args[i]))) f.count = 0;
  for (; i < args.size() && std::isdigit(static_cast<unsigned char>(args[i])); ++i)
    f.count = std::min<uint32_t>(f.count * 10 + static_cast<uint32_t>(args[i] - '0'), 4096);
  static const std::string units = "bhwg";
  for (; i < args.size() && args[i] != ' '; ++i) {
    const char c = args[i];
    if (c == 'x' || c == 'd' || c == 'c' || c == 's') {
      f.format = c;
    } else if (units.find(c) != std::string::npos) {
      f.unit = 1u << units.find(c);
    } else {
      throw DebugError(std::string("Invalid letter '") + c + "' in x/FMT.");
    }
  }
  if (f.format == 'c') f.unit = 1;
  args = trimmed(args.substr(i));
  return f;
}

}  // namespace

CommandLine::CommandLine(Debugger& debugger, std::ostream& out, FileReader reader,
                         std::string directory)
    : debugger_(debugger),
      out_(out),
      reader_(std::move(reader)),
      directory_(std::move(directory)) {}

const std::vector<CommandLine::Command>& CommandLine::commands() {
  static const std::vector<Command> table{
      {"break", "b", &CommandLine::breakCommand, "break FILE:LINE | LINE | FUNCTION [if EXPR]"},
      {"tbreak", "tb", &CommandLine::tbreakCommand,
       "tbreak LOCATION: a breakpoint that stops once"},
      {"delete", "d", &CommandLine::deleteCommand, "delete [N...]: breakpoints and watches (all)"},
      {"condition", "cond", &CommandLine::conditionCommand, "condition N [EXPR]"},
      {"run", "r", &CommandLine::runCommand, "run [< FILE]: start the program afresh"},
      {"continue", "c", &CommandLine::continueCommand, "continue: run to the next stop"},
      {"step", "s", &CommandLine::stepCommand, "step [N]: to the next line, into calls"},
      {"next", "n", &CommandLine::nextCommand, "next [N]: to the next line, over calls"},
      {"stepi", "si", &CommandLine::stepiCommand, "stepi [N]: one instruction"},
      {"nexti", "ni", &CommandLine::nextiCommand, "nexti [N]: one instruction, over calls"},
      {"finish", "fin", &CommandLine::finishCommand, "finish: until the function returns"},
      {"until", "u", &CommandLine::untilCommand, "until [LOCATION]: past the loop, or to LOCATION"},
      {"advance", "", &CommandLine::untilCommand, "advance LOCATION"},
      {"reverse-step", "rs", &CommandLine::reverseStepCommand, "reverse-step: back one line"},
      {"reverse-next", "rn", &CommandLine::reverseNextCommand,
       "reverse-next: back one line, over calls"},
      {"reverse-stepi", "rsi", &CommandLine::reverseStepiCommand,
       "reverse-stepi: back one instruction"},
      {"reverse-continue", "rc", &CommandLine::reverseContinueCommand,
       "reverse-continue: back to the last stop"},
      {"reverse-finish", "", &CommandLine::reverseFinishCommand,
       "reverse-finish: back to the call of the function"},
      {"print", "p", &CommandLine::printCommand, "print[/x|/d|/c|/s] EXPR"},
      {"display", "disp", &CommandLine::displayCommand, "display[/FMT] EXPR: print at every stop"},
      {"undisplay", "", &CommandLine::undisplayCommand, "undisplay [N...]"},
      {"watch", "", &CommandLine::watchCommand, "watch EXPR: stop when a write changes it"},
      {"backtrace", "bt", &CommandLine::backtraceCommand, "backtrace: the calls"},
      {"where", "", &CommandLine::backtraceCommand, "where: the same as backtrace"},
      {"info", "i", &CommandLine::infoCommand,
       "info locals|args|globals|breakpoints|watchpoints|display|stack"},
      {"list", "l", &CommandLine::listCommand, "list [LOCATION]: source lines"},
      {"x", "", &CommandLine::examineCommand, "x/NFU ADDR: memory (F x d c s, U b h w g)"},
      {"kill", "k", &CommandLine::killCommand, "kill: end the program"},
      {"quit", "q", &CommandLine::quitCommand, "quit"},
      {"help", "h", &CommandLine::helpCommand, "help: these lines"},
  };
  return table;
}

// A command by its name, its short form, or a prefix naming one command.
const CommandLine::Command* CommandLine::find(const std::string& word) const {
  const Command* prefix = nullptr;
  int matches = 0;
  for (const Command& c : commands()) {
    if (word == c.name || word == c.alias) return &c;
    if (std::string(c.name).rfind(word, 0) == 0) {
      prefix = &c;
      ++matches;
    }
  }
  if (matches > 1) throw DebugError("Ambiguous command \"" + word + "\".");
  return prefix;
}

bool CommandLine::execute(const std::string& line) {
  auto [word, args] = firstWord(line);
  if (word.empty() || word[0] == '#') return true;
  try {
    const Command* c = find(word);
    if (!c) throw DebugError("Undefined command: \"" + word + "\".  Try \"help\".");
    (this->*(c->handler))(args);
  } catch (const DebugError& e) {
    out_ << printable(e.what()) << '\n';
  }
  out_.flush();
  return !quit_;
}

void CommandLine::requireRunning() const {
  if (!debugger_.running()) throw DebugError("The program is not being run.");
}

void CommandLine::requireForward() const {
  requireRunning();
  if (debugger_.failed()) {
    throw DebugError(
        "The program stopped at a run-time error and cannot go on (run starts it afresh; the "
        "reverse commands go back).");
  }
}

// Breakpoints.

void CommandLine::setBreakpoint(const std::string& args, bool temporary) {
  std::string location = args;
  std::string condition;
  const size_t at = (" " + args + " ").find(" if ");
  if (at != std::string::npos) {
    location = trimmed(args.substr(0, at));
    condition = trimmed(args.substr(std::min(args.size(), at + 3)));
  }
  if (location.empty()) {
    requireRunning();
    auto [file, line] = debugger_.position(debugger_.machine().pc());
    location = file + ":" + std::to_string(line);
  }
  const Breakpoint& b = debugger_.addBreakpoint(location, temporary);
  if (!condition.empty()) debugger_.setCondition(b.number, condition);
  auto [file, line] = debugger_.position(b.sites[0]);
  out_ << (temporary ? "Temporary breakpoint " : "Breakpoint ") << b.number << " at "
       << hex(kCodeBase + b.sites[0]) << ": file " << printable(file) << ", line " << line << ".";
  if (b.sites.size() > 1) out_ << " (" << b.sites.size() << " locations)";
  out_ << '\n';
}

void CommandLine::breakCommand(const std::string& args) {
  setBreakpoint(args, false);
}
void CommandLine::tbreakCommand(const std::string& args) {
  setBreakpoint(args, true);
}

void CommandLine::deleteCommand(const std::string& args) {
  if (args.empty()) return debugger_.deleteAllBreakpoints();
  std::string rest = args;
  while (!rest.empty()) {
    auto [word, more] = firstWord(rest);
    std::optional<int> n = smallNumber(word);
    if (!n) throw DebugError("Arguments must be breakpoint numbers: " + word);
    if (!debugger_.deleteBreakpoint(*n)) out_ << "No breakpoint number " << *n << ".\n";
    rest = more;
  }
}

void CommandLine::conditionCommand(const std::string& args) {
  auto [word, expression] = firstWord(args);
  std::optional<int> n = smallNumber(word);
  if (!n) throw DebugError("Argument required (breakpoint number).");
  if (!debugger_.setCondition(*n, expression))
    throw DebugError("No breakpoint number " + word + ".");
  if (expression.empty()) out_ << "Breakpoint " << *n << " now unconditional.\n";
}

void CommandLine::watchCommand(const std::string& args) {
  if (args.empty()) throw DebugError("Argument required (expression to compute).");
  const Watch& w = debugger_.addWatch(args);
  out_ << "Watchpoint " << w.number << ": " << w.expression << '\n';
}

// Running.

// run [< FILE]: the program reads FILE as its input.
void CommandLine::runCommand(const std::string& args) {
  if (!args.empty()) {
    if (args[0] != '<') throw DebugError("run takes no arguments but '< FILE' (the input).");
    const std::string path = trimmed(args.substr(1));
    std::optional<std::string> text =
        reader_(path.empty() || path[0] == '/' ? path : directory_ + path);
    if (!text) throw DebugError(path + ": No such file.");
    debugger_.setInput(std::move(*text));
  }
  std::string name = debugger_.program().codeFileName;
  name.resize(name.size() - 4);  // without ".001"
  out_ << "Starting program: " << printable(name) << '\n';
  lastFunction_.clear();
  report(debugger_.run());
}

void CommandLine::continueCommand(const std::string&) {
  requireForward();
  out_ << "Continuing.\n";
  report(debugger_.move(Motion::cont));
}

void CommandLine::motion(Motion m, const std::string& args, bool back) {
  // Backward also from the end of the run.
  if (!back) {
    requireForward();
  } else if (debugger_.frames().empty()) {
    requireRunning();
  }
  int count = 1;
  if (!args.empty()) {
    std::optional<int> n = smallNumber(args);
    if (!n) throw DebugError("Invalid number \"" + args + "\".");
    count = *n;
  }
  for (int k = 0; k < count && (back || debugger_.running()); ++k) {
    StopEvent e = back ? debugger_.moveBack(m) : debugger_.move(m);
    if (k + 1 == count || e.kind != StopKind::step) {
      report(e);
      return;
    }
  }
}

void CommandLine::stepCommand(const std::string& args) {
  motion(Motion::step, args, false);
}
void CommandLine::nextCommand(const std::string& args) {
  motion(Motion::next, args, false);
}
void CommandLine::stepiCommand(const std::string& args) {
  motion(Motion::stepi, args, false);
}
void CommandLine::nextiCommand(const std::string& args) {
  motion(Motion::nexti, args, false);
}
void CommandLine::reverseStepCommand(const std::string& args) {
  motion(Motion::step, args, true);
}
void CommandLine::reverseNextCommand(const std::string& args) {
  motion(Motion::next, args, true);
}
void CommandLine::reverseStepiCommand(const std::string& args) {
  motion(Motion::stepi, args, true);
}

void CommandLine::reverseContinueCommand(const std::string&) {
  if (!debugger_.running() && debugger_.frames().empty()) requireRunning();
  report(debugger_.moveBack(Motion::cont));
}

void CommandLine::reverseFinishCommand(const std::string&) {
  if (debugger_.frames().empty()) requireRunning();
  if (debugger_.frames().size() < 2)
    throw DebugError("\"finish\" not meaningful in the outermost frame.");
  out_ << "Run back to call of #0  " << frameText(debugger_.frames()[0]) << '\n';
  report(debugger_.moveBack(Motion::finish));
}

void CommandLine::finishCommand(const std::string&) {
  requireForward();
  std::vector<FrameInfo> frames = debugger_.frames();
  if (frames.size() < 2) throw DebugError("\"finish\" not meaningful in the outermost frame.");
  out_ << "Run till exit from #0  " << frameText(frames[0]) << '\n';
  const FunctionInfo* f = debugger_.info().function(frames[0].function);
  const uint32_t depth = debugger_.machine().stack().depth();
  StopEvent e = debugger_.move(Motion::finish);
  report(e);
  if (e.kind != StopKind::step || !f || !f->result.known() || f->result.base == "void") return;
  if (debugger_.machine().stack().depth() <= depth) return;
  auto [width, number] = debugger_.machine().stack().entry(0);
  Value v;
  v.type = f->result;
  v.size = width;
  v.number = narrowTo(width, number);
  out_ << "Value returned is $" << ++history_ << " = " << formatValue(v, debugger_.evaluator())
       << '\n';
}

void CommandLine::untilCommand(const std::string& args) {
  requireRunning();
  if (args.empty()) return report(debugger_.move(Motion::until));
  report(debugger_.untilLocation(debugger_.resolve(args)));
}

void CommandLine::killCommand(const std::string&) {
  requireRunning();
  debugger_.kill();
  out_ << "[Program killed]\n";
}

void CommandLine::quitCommand(const std::string&) {
  quit_ = true;
}

void CommandLine::helpCommand(const std::string&) {
  for (const Command& c : commands()) {
    out_ << "  " << c.help;
    if (*c.alias) out_ << "  (" << c.alias << ")";
    out_ << '\n';
  }
}

// Stops.

void CommandLine::report(const StopEvent& e) {
  switch (e.kind) {
    case StopKind::finished:
      status_ = e.status;
      if (!e.message.empty()) out_ << e.message << '\n';
      if (e.status == 0) {
        out_ << "[Program exited normally]\n";
      } else {
        out_ << "[Program exited with code " << e.status << "]\n";
      }
      lastFunction_.clear();
      return;
    case StopKind::error:
      status_ = e.status;
      out_ << (e.status == kExpectStatus ? "\nProgram stopped at a device call: "
                                         : "\nProgram stopped by a run-time error: ")
           << e.message << '\n';
      return showLocation(true);
    case StopKind::breakpoint:
      if (!e.message.empty()) out_ << e.message << '\n';
      out_ << '\n'
           << (e.number < 0 ? "Temporary breakpoint " : "Breakpoint ") << std::abs(e.number)
           << ", ";
      return showLocation(true);
    case StopKind::watch:
      out_ << "\nWatchpoint " << e.number << ": ";
      for (const Watch& w : debugger_.watches()) {
        if (w.number == e.number) out_ << w.expression;
      }
      out_ << "\n\nOld value = " << e.oldValue << "\nNew value = " << e.newValue << '\n';
      return showLocation(true);
    case StopKind::history_end:
      out_ << "\nNo more reverse-execution history.\n";
      return showLocation(true);
    case StopKind::step:
      return showLocation(false);
  }
}

void CommandLine::showLocation(bool withFrame) {
  const FrameInfo frame = debugger_.frames().at(0);
  auto [file, line] = debugger_.position(frame.pc);
  if (withFrame || frame.function != lastFunction_) out_ << frameText(frame) << '\n';
  lastFunction_ = frame.function;
  out_ << line << '\t' << sourceLine(file, line) << '\n';
  listFile_ = file;
  listNext_ = line > 5 ? line - 5 : 1;
  showDisplays();
}

std::string CommandLine::frameText(const FrameInfo& frame) const {
  auto [file, line] = debugger_.position(frame.pc);
  std::string s = frame.function.empty() ? "??" : frame.function;
  s += " (";
  const FunctionInfo* f = debugger_.info().function(frame.function);
  if (f && debugger_.running()) {
    Evaluator ev(debugger_.info(), debugger_.machine(), frame.function);
    for (size_t k = 0; k < f->params.size(); ++k) {
      s += (k ? ", " : "") + f->params[k] + "=";
      try {
        s += formatValue(ev.evaluate(f->params[k]), ev);
      } catch (const DebugError&) {
        s += "<unavailable>";
      }
    }
  }
  return printable(s + ") at " + file + ":" + std::to_string(line));
}

std::string CommandLine::sourceLine(const std::string& file, uint32_t line) {
  auto it = sources_.find(file);
  if (it == sources_.end()) {
    std::vector<std::string> lines;
    std::optional<std::string> text;
    try {
      text = reader_(file.empty() || file[0] == '/' ? file : directory_ + file);
    } catch (const VmError&) {
    }
    if (text) {
      size_t pos = 0;
      while (pos <= text->size()) {
        size_t end = text->find('\n', pos);
        if (end == std::string::npos) end = text->size();
        std::string l = text->substr(pos, end - pos);
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines.push_back(printable(l));
        pos = end + 1;
      }
    }
    it = sources_.emplace(file, std::move(lines)).first;
  }
  if (line == 0 || line > it->second.size()) return "in " + printable(file);
  return it->second[line - 1];
}

// Each display whose names are in scope where the program stopped.
void CommandLine::showDisplays() {
  for (const Display& d : displays_) showDisplay(d);
}

void CommandLine::showDisplay(const Display& d) {
  std::string value;
  try {
    value = formatted(d.expression, d.format);
  } catch (const DebugError&) {
    return;
  }
  out_ << d.number << ": " << (d.format ? std::string("/") + d.format + " " : "") << d.expression
       << " = " << value << '\n';
}

// Looking at the program.

std::string CommandLine::formatted(const std::string& expression, char format, size_t frame) {
  Evaluator ev = debugger_.evaluator(frame);
  return formatValue(ev.evaluate(expression), ev, format);
}

void CommandLine::printCommand(const std::string& arguments) {
  std::string args = arguments;
  const char format = takeFormat(args);
  if (args.empty()) throw DebugError("Argument required (expression to compute).");
  if (!debugger_.running() && debugger_.frames().empty()) {
    throw DebugError("The program is not being run: no values to print.");
  }
  const std::string text = formatted(args, format);
  out_ << "$" << ++history_ << " = " << text << '\n';
}

void CommandLine::displayCommand(const std::string& arguments) {
  std::string args = arguments;
  const char format = takeFormat(args);
  if (args.empty()) {
    if (debugger_.running()) showDisplays();
    return;
  }
  displays_.push_back({nextDisplay_++, args, format});
  if (debugger_.running()) showDisplay(displays_.back());
}

void CommandLine::undisplayCommand(const std::string& args) {
  if (args.empty()) return displays_.clear();
  std::optional<int> n = smallNumber(args);
  if (!n) throw DebugError("Arguments must be display numbers.");
  std::erase_if(displays_, [&](const Display& d) { return d.number == *n; });
}

void CommandLine::backtraceCommand(const std::string&) {
  requireRunning();
  std::vector<FrameInfo> frames = debugger_.frames();
  for (size_t k = 0; k < frames.size(); ++k)
    out_ << "#" << k << "  " << frameText(frames[k]) << '\n';
}

void CommandLine::infoVariables(const std::vector<const VariableInfo*>& vars, const char* none) {
  if (vars.empty()) {
    out_ << none << '\n';
    return;
  }
  Evaluator ev = debugger_.evaluator();
  for (const VariableInfo* v : vars) {
    out_ << v->name << " = ";
    try {
      out_ << formatValue(ev.variable(*v), ev) << '\n';
    } catch (const DebugError& e) {
      out_ << "<error: " << e.what() << ">\n";
    }
  }
}

void CommandLine::infoBreakpoints() {
  if (debugger_.breakpoints().empty() && debugger_.watches().empty()) {
    out_ << "No breakpoints or watchpoints.\n";
    return;
  }
  out_ << "Num     Type           Disp Enb Address    What\n";
  for (const Breakpoint& b : debugger_.breakpoints()) {
    auto [file, line] = debugger_.position(b.sites[0]);
    std::string num = std::to_string(b.number);
    num.resize(8, ' ');
    out_ << num << "breakpoint     " << (b.temporary ? "del " : "keep") << " y   "
         << hex(kCodeBase + b.sites[0], 8) << " in " << debugger_.functionAt(b.sites[0]) << " at "
         << printable(file) << ":" << line << '\n';
    if (!b.condition.empty()) out_ << "\tstop only if " << b.condition << '\n';
    if (b.hits > 0)
      out_ << "\tbreakpoint already hit " << b.hits << " time" << (b.hits > 1 ? "s" : "") << '\n';
  }
  for (const Watch& w : debugger_.watches()) {
    std::string num = std::to_string(w.number);
    num.resize(8, ' ');
    out_ << num << "watchpoint     keep y              " << w.expression << '\n';
  }
}

void CommandLine::infoCommand(const std::string& args) {
  const std::string what = firstWord(args).first;
  auto is = [&what](const char* name, size_t shortest) {
    return what.size() >= shortest && std::string(name).rfind(what, 0) == 0;
  };
  if (is("breakpoints", 1) || is("watchpoints", 3)) return infoBreakpoints();
  if (is("display", 1)) {
    for (const Display& d : displays_) {
      out_ << d.number << ":   y  " << (d.format ? std::string("/") + d.format + " " : "")
           << d.expression << '\n';
    }
    if (displays_.empty()) out_ << "There are no auto-display expressions now.\n";
    return;
  }
  requireRunning();
  const std::string function = debugger_.frames()[0].function;
  if (is("locals", 2)) return infoVariables(debugger_.locals(function, false), "No locals.");
  if (is("args", 1)) {
    if (!debugger_.info().typed) {
      out_ << "No argument information without a .dbg file (parameters are listed as locals).\n";
      return;
    }
    return infoVariables(debugger_.locals(function, true), "No arguments.");
  }
  if (is("globals", 1) || is("variables", 1))
    return infoVariables(debugger_.globals(), "No globals.");
  if (is("stack", 1)) {
    const ValueStack& stack = debugger_.machine().stack();
    out_ << "Value stack: " << stack.depth() << " entr" << (stack.depth() == 1 ? "y" : "ies")
         << ", " << stack.bytes() << " bytes\n";
    for (uint32_t k = 0; k < stack.depth() && k < 32; ++k) {
      auto [width, value] = stack.entry(k);
      out_ << "  [" << k << "] " << (width <= 8 ? std::to_string(value) : "(structure)") << ", "
           << width << " bytes\n";
    }
    if (stack.depth() > 32) out_ << "  ...\n";
    out_ << "Return stack: " << debugger_.machine().frames().size() << " call"
         << (debugger_.machine().frames().size() == 1 ? "" : "s") << '\n';
    return;
  }
  throw DebugError("Undefined info command: \"" + args + "\".  Try \"help\".");
}

void CommandLine::listAround(const std::string& file, uint32_t first, uint32_t last) {
  for (uint32_t line = first; line <= last; ++line) {
    const std::string text = sourceLine(file, line);
    if (text == "in " + printable(file)) {
      if (line == first) out_ << "Line number " << line << " out of range; \"" << file << "\".\n";
      break;
    }
    out_ << line << '\t' << text << '\n';
    listNext_ = line + 1;
  }
}

void CommandLine::listCommand(const std::string& args) {
  if (!args.empty()) {
    const uint32_t site = debugger_.resolve(args)[0];
    auto [file, line] = debugger_.position(site);
    listFile_ = file;
    listNext_ = line > 5 ? line - 5 : 1;
  } else if (listFile_.empty()) {
    auto [file, line] = debugger_.position(debugger_.program().mainEntry);
    listFile_ = file;
    listNext_ = line > 5 ? line - 5 : 1;
  }
  listAround(listFile_, listNext_, listNext_ + 9);
}

void CommandLine::examineCommand(const std::string& arguments) {
  std::string args = arguments;
  auto [count, unit, format] = examineFormat(args);
  if (args.empty()) throw DebugError("Argument required (starting display address).");
  requireRunning();
  Evaluator ev = debugger_.evaluator();
  Value v = ev.evaluate(args);
  uint32_t address =
      static_cast<uint32_t>(v.type.dims.empty() && v.scalar() ? v.number : v.address.value_or(0));
  const Machine& m = debugger_.machine();
  for (uint32_t k = 0; k < count; ++k) {
    const uint32_t perLine = format == 's' ? 1 : unit == 1 ? 8 : 4;
    if (k % perLine == 0) {
      if (k) out_ << '\n';
      const std::string label = symbolAt(m.program(), address);
      out_ << hex(address) << (label.empty() ? "" : " " + label) << ":";
    }
    if (format == 's') {
      Value p;
      p.type.base = "char";
      p.type.pointers = 1;
      p.size = 4;
      p.number = address;
      std::string s = formatValue(p, ev);
      out_ << '\t' << s.substr(s.find(' ') + 1);
      uint32_t length = 0;
      for (std::optional<int64_t> b; (b = m.readData(address + length, 1)) && *b != 0;) ++length;
      address += length + 1;
      continue;
    }
    std::optional<int64_t> b = m.readData(address, unit);
    if (!b) {
      out_ << "\tCannot access memory at address " << hex(address) << '\n';
      return;
    }
    Value cell;
    cell.type.base = unit == 1 ? "char" : unit == 8 ? "long" : "int";
    cell.size = unit;
    cell.number = *b;
    if (format == 'x') {
      out_ << '\t' << hex(static_cast<uint64_t>(*b) & (~uint64_t{0} >> (64 - 8 * unit)), 2 * unit);
    } else {
      out_ << '\t' << formatValue(cell, ev, format);
    }
    address += unit;
  }
  out_ << '\n';
}

}  // namespace stackvm
