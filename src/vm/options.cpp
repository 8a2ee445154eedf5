// Parsing stackvm's command line into Options. No state.
#include "vm/options.h"

#include <optional>

#include "vm/errors.h"
#include "vm/numbers.h"

namespace stackvm {

namespace {

std::optional<uint64_t> plainNumber(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  std::optional<ParsedNumber> n = parseNumber(text);
  if (!n || n->huge) return std::nullopt;
  return n->magnitude;
}

DumpRequest dumpRequest(const std::string& word) {
  DumpRequest d;
  size_t colon = word.find(':');
  d.name = word.substr(0, colon);
  if (colon != std::string::npos) {
    std::optional<uint64_t> w = plainNumber(word.substr(colon + 1));
    if (!w || (*w != 1 && *w != 4 && *w != 8))
      throw UsageError("--dump " + word + ": the width is 1, 4 or 8");
    d.width = static_cast<uint32_t>(*w);
  }
  if (d.name.empty()) throw UsageError("--dump " + word + ": no name");
  return d;
}

// Names after --dump run up to the next option or file name.
bool isDumpName(const std::string& word) {
  return word.rfind("-", 0) != 0 && word.find_first_of("./") == std::string::npos;
}

void setSource(Options& o, const std::string& arg) {
  if (!o.base.empty()) throw UsageError("more than one program named: " + arg);
  size_t file = arg.rfind('/');
  file = file == std::string::npos ? 0 : file + 1;
  size_t dot = arg.find('.', file);
  o.directory = arg.substr(0, file);
  o.base = arg.substr(0, dot);
  if (o.base.size() == file) throw UsageError("no program name in " + arg);
}

}  // namespace

Options parseOptions(const std::vector<std::string>& args) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](const char* option) -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError(std::string(option) + " needs a value");
      return args[++i];
    };
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--trace=calls" ||
               (a == "--trace" && i + 1 < args.size() && args[i + 1] == "calls")) {
      if (a == "--trace") ++i;
      o.run.traceDevices = true;
    } else if (a == "--trace") {
      o.run.trace = true;
    } else if (a == "--until-script-ends") {
      o.tools.untilScriptEnds = true;
    } else if (a == "--strict-script") {
      o.tools.strictScript = true;
    } else if (a == "--record") {
      o.tools.recordPath = value("--record");
    } else if (a == "--coverage") {
      o.tools.coveragePath = value("--coverage");
    } else if (a == "--profile") {
      o.tools.profilePath = value("--profile");
    } else if (a == "--profile-summary") {
      o.tools.profileSummary = true;
    } else if (a == "--compare-gcc") {
      o.tools.compareGcc = true;
    } else if (a == "--cc") {
      o.tools.cc = value("--cc");
    } else if (a == "--steps") {
      std::optional<uint64_t> n = plainNumber(value("--steps"));
      if (!n) throw UsageError("--steps " + args[i] + ": expected a number of instructions");
      o.run.steps = *n;
    } else if (a == "--debug") {
      o.debug = true;
    } else if (a == "--commands") {
      o.commandsPath = value("--commands");
      o.debug = true;
    } else if (a == "--dap") {
      o.dap = true;
    } else if (a == "--script") {
      o.scriptPath = value("--script");
    } else if (a == "--dump") {
      o.dumps.push_back(dumpRequest(value("--dump")));
      while (i + 1 < args.size() && isDumpName(args[i + 1]))
        o.dumps.push_back(dumpRequest(args[++i]));
    } else if (a.rfind("-", 0) == 0) {
      throw UsageError("unknown option " + a);
    } else {
      setSource(o, a);
    }
  }
  if (o.debug && (o.tools.counting() || o.tools.untilScriptEnds || o.tools.strictScript ||
                  !o.tools.recordPath.empty()))
    throw UsageError("--coverage, --profile, --record and the script checks run without --debug");
  if (o.dap && o.debug) throw UsageError("--dap and --debug exclude each other");
  if (o.dap && !o.base.empty())
    throw UsageError("--dap takes the program from the launch request, not the command line");
  if (o.base.empty() && !o.help && !o.version && !o.dap) throw UsageError("no program named");
  return o;
}

const char* usageText() {
  return "usage: stackvm <source>[.c] [options]\n"
         "Runs the program stackcc compiled from <source>: loads <base>.001 ... <base>.004\n"
         "and the prototypes of Sys10.c beside it, and calls main.\n"
         "  --trace              every executed instruction, its source position and the\n"
         "                       stack top, and every device routine call, on stderr\n"
         "  --steps N            run at most N instructions (default 100000000)\n"
         "  --script FILE        results of device routines: lines 'name value'\n"
         "  --dump NAME[:W]...   print these data labels at exit (W = 1, 4 or 8; 4 by default)\n"
         "  --trace calls        the device routine calls alone, on stderr\n"
         "  --until-script-ends  end the run (status 0) at the first device call without a\n"
         "                       value in the script\n"
         "  --strict-script      a device call without a value in the script is an error\n"
         "  --record FILE        write the run's device calls and results as a script\n"
         "  --coverage FILE      write the lines, functions and branches run (lcov format)\n"
         "  --profile FILE       write instructions per line and function (callgrind format)\n"
         "  --profile-summary    the costliest functions and lines on stderr\n"
         "  --compare-gcc        build the program also with the C compiler and compare\n"
         "  --cc CMD             the C compiler for --compare-gcc (default cc)\n"
         "  --debug              run under the debugger (gdb's commands; 'help' lists them)\n"
         "  --commands FILE      the debugger's commands from FILE, the transcript on stdout\n"
         "  --dap                the Debug Adapter Protocol on stdin and stdout (for editors)\n"
         "  --help, --version\n"
         "Exit status: main's value or exit's code (low 8 bits); 70 run-time error,\n"
         "71 load error, 2 usage error, 72 device calls other than the script expects.\n";
}

}  // namespace stackvm
