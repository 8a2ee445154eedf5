// The run frame: the command line and its options, the names of the files,
// Pass 1 and Pass 2 with their output files, the closing lines and the exit
// status. Owns the driver's part of the state (c.driver) and the run's files.
#include "driver/driver.h"

#include <cstdio>

#include "base/compiler.h"
#include "base/text_helpers.h"
#include "driver/command_options.h"
#include "driver/debug_info.h"
#include "driver/dependencies.h"
#include "decl/usage.h"
#include "driver/passes.h"
#include "io/diagnostics.h"
#include "io/output.h"
#include "io/paths.h"
#include "io/run_state.h"
#include "io/source_reader.h"
#include "preproc/preproc.h"
#include "stackcc/version.h"
#include "stmt/statements.h"

namespace stackcc {

namespace {

// The banner names the language version (8.02); its bytes are part of the output.
constexpr std::string_view kBanner = "C Compiler  " STACKCC_LANGUAGE_VERSION "  \r\n";
constexpr std::string_view kFirstLine = "#include \"Sys10.c\"; \r\n";
constexpr std::string_view kHelp =
    "usage: stackcc <source>[.c] [-d] [-c<suffix>]\n"
    "       stackcc --help | -h | --version\n"
    "\n"
    "Compiles <base>.c, after the system definitions of the Sys10.c beside it, into\n"
    "stack-machine assembly. <base> is <source> up to the first '.' of its file name.\n"
    "\n"
    "Options, in any order after the source ('/' may stand for '-', either case;\n"
    "unknown ones are ignored):\n"
    "  -d           write LINE:<n>:<file> markers, and error reports naming the line\n"
    "  -c<suffix>   join <suffix> into every generated control and string label\n"
    "Tool options, spelled as here (a value may follow in the next argument):\n"
    "  -I DIR       search DIR for #include files and Sys10.c not beside the source\n"
    "  -MD          also write <base>.d: a make rule, the outputs on every file read\n"
    "  -MF FILE     write the rule to FILE; -MT TARGET names its target; -MP adds\n"
    "               an empty rule for each file included\n"
    "  -Wall, -W<name>, -Wno-<name>\n"
    "               warn where the language is not C (names: docs/errors.md)\n"
    "  -Werror      a warning fails the run (status 1) once every file is written\n"
    "  -fdiagnostics-format=gcc\n"
    "               also write each error to stderr as file:line: error: ...\n"
    "  -g           also write <base>.dbg, the names, types and lines for stackvm's\n"
    "               debugger (implies -d; the other files are those of -d)\n"
    "  --help, -h   show this text and exit\n"
    "  --version    show the version (and the language's) and exit\n"
    "--help, -h and --version count only as the sole argument; a source named like\n"
    "an option is given with its directory: stackcc ./--help\n"
    "\n"
    "Reads <base>.c, Sys10.c and the files it #includes (beside the source unless\n"
    "absolute). Writes beside the source: <base>.000 (preprocessed program), .001\n"
    "(code), .002 (fixed data, strings), .003 (initialised variables), .004\n"
    "(uninitialised variables), .err (error reports), .lst (public names), .h\n"
    "(generated header), funct1.txt (one line per function), and with -g .dbg\n"
    "(debug information).\n"
    "\n"
    "Exit status: 0 compiled without errors; 1 errors reported (see <base>.err), or\n"
    "the source or an #include file could not be opened; 2 no source named;\n"
    "255 an output file could not be created or written.\n"
    "\n"
    "Documentation: man stackcc, man stackvm, and share/doc/stackcc/ under the\n"
    "installation prefix (docs/ in the source tree).\n";

// The help's first line, for a command line without a source.
constexpr std::string_view kUsage = kHelp.substr(0, kHelp.find('\n') + 1);

constexpr std::string_view kVersionLine =
    "stackcc " STACKCC_VERSION " (language " STACKCC_LANGUAGE_VERSION ")\n";

// The text that a command line made of --help, -h or --version alone asks for;
// empty for every other command line, which names a source.
std::string_view InformationAsked(int argc, const char* const* argv) {
  if (argc != 2) return {};
  std::string_view arg = argv[1];
  if (arg == "--help" || arg == "-h") return kHelp;
  if (arg == "--version") return kVersionLine;
  return {};
}

// Position just after the last directory separator (0 when there is none).
std::size_t FilePartStart(std::string_view name) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (IsSeparator(name[i])) start = i + 1;
  }
  return start;
}

bool EndsWithOur90(std::string_view base) {
  if (base.size() < 5) return false;
  std::string_view tail = base.substr(base.size() - 5);
  constexpr std::string_view kOur90 = "our90";
  for (std::size_t i = 0; i < 5; ++i) {
    char ch = tail[i];
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    if (ch != kOur90[i]) return false;
  }
  return true;
}

bool OpenOutput(Compiler& c, OutFile& file, const std::string& path, std::string_view shown,
                bool append) {
  if (file.Open(path, append)) return true;
  CannotWrite(c, shown);
  return false;
}

// How an output file is named: <base> + ext, the header base + ext, or a fixed
// name beside the source.
enum class Named { kBase, kHeaderBase, kBesideSource };

// The run's output files, one table to open them and to close them: in the
// order Pass 2 opens them (Pass 1 opens the first as <base>.000, and the error
// file), the name Pass 2 gives each, and whether it is appended to.
struct OutputFile {
  OutFile& (*file)(Compiler& c);
  Named named;
  std::string_view name;
  bool append;
};

constexpr OutputFile kOutputFiles[] = {
    {[](Compiler& c) -> OutFile& { return c.out.passOut; }, Named::kBase, ".001", false},
    {[](Compiler& c) -> OutFile& { return c.out.section2; }, Named::kBase, ".002", false},
    {[](Compiler& c) -> OutFile& { return c.out.section3; }, Named::kBase, ".003", false},
    {[](Compiler& c) -> OutFile& { return c.out.section4; }, Named::kBase, ".004", false},
    {[](Compiler& c) -> OutFile& { return c.diag.errorStream; }, Named::kBase, ".err", true},
    {[](Compiler& c) -> OutFile& { return c.out.functionList; }, Named::kBesideSource, "funct1.txt",
     false},
    {[](Compiler& c) -> OutFile& { return c.out.listing; }, Named::kHeaderBase, ".lst", false},
    {[](Compiler& c) -> OutFile& { return c.out.header; }, Named::kHeaderBase, ".h", false},
};

// The error file is closed after all the others.
bool ClosesLast(Compiler& c, const OutputFile& row) {
  return &row.file(c) == &c.diag.errorStream;
}

// Closes one output file; the first that cannot take its last bytes stops the
// run, and once a file could not be written, the files still open keep what
// they held before the run.
void CloseOutput(Compiler& c, OutFile& file) {
  if (c.run.stopped && c.run.stopStatus < 0) {
    file.Discard();
  } else if (!file.Close() && !c.run.stopped) {
    CannotWrite(c, file.Path());
  }
}

}  // namespace

void CannotWrite(Compiler& c, std::string_view shown) {
  Console(c, "Error writing file...");
  Console(c, shown);
  Console(c, "\r\n");
  StopRun(c, -1);
}

void CloseAll(Compiler& c) {
  CloseAllLevels(c);
  // The last buffered bytes reach the file only here: a file that cannot take
  // them is as unwritten as one whose line failed on the way, and the run says
  // so instead of ending in "Work done".
  for (const OutputFile& row : kOutputFiles) {
    if (!ClosesLast(c, row)) CloseOutput(c, row.file(c));
  }
  for (const OutputFile& row : kOutputFiles) {
    if (ClosesLast(c, row)) CloseOutput(c, row.file(c));
  }
}

std::string Derived(const Compiler& c, std::string_view ext) {
  std::string name(c.driver.base.view());
  name.append(ext);
  return name;
}

namespace {

// The gcc-style line for a source that cannot be opened names it.
void SourceNotOpened(Compiler& c) {
  if (!c.run.tools.gccDiagnostics || c.run.diagnosticsOut == nullptr) return;
  std::string line(c.driver.sourceName.view());
  line += ": error: ";
  line += ErrorMessage(kErrNoFile);
  line += " [" + std::to_string(kErrNoFile) + "]\n";
  std::fputs(line.c_str(), c.run.diagnosticsOut);
}

// The argument names a file that is not <base>.c: the console shows the line of
// a source that cannot be used, and the reason goes to the error stream.
void SourceMisnamed(Compiler& c) {
  Console(c, "Error no file to open \n");
  std::string why = "stackcc: the source must be named <base>.c (this name would compile ";
  why.append(c.driver.sourceName.view());
  why.append(")\n");
  std::fwrite(why.data(), 1, why.size(), stderr);
  StopRun(c, 1);
}

bool RunPass1(Compiler& c, const CommandLineIssues& pending) {
  Console(c, kBanner);
  Console(c, "Compiling...\r\n");
  Console(c, "Pass 1\r\n");
  PositionLog& positions = c.diag.positions;
  positions.enabled =
      c.run.tools.gccDiagnostics || c.run.tools.warnings.any() || c.run.tools.debugInfo;
  positions.pass = 1;
  if (pending.misnamed) {
    SourceMisnamed(c);
    return false;
  }
  if (!OpenBaseLevel(c, PathOfDerived(c.driver.sourceName.view()), c.driver.sourceName.view())) {
    Console(c, "Error no file to open \n");
    SourceNotOpened(c);
    StopRun(c, 1);
    return false;
  }
  c.run.inputsOpened.push_back(PathOfDerived(c.driver.sourceName.view()));
  std::string intermediate = Derived(c, ".000");
  std::string errors = Derived(c, ".err");
  if (!OpenOutput(c, c.out.passOut, PathOfDerived(intermediate), intermediate, false) ||
      !OpenOutput(c, c.diag.errorStream, PathOfDerived(errors), errors, false)) {
    return false;
  }
  if (pending.fileName) ReportError(c, kErrFileName, "");
  if (pending.suffix) ReportError(c, kErrSuffix, "");

  FixedText<64> first(kFirstLine);
  SourceText firstText{first.raw(), static_cast<int>(first.size())};
  std::string_view result = PreprocessLine(c, firstText);
  if (c.run.stopped) return false;
  NoteIntermediateLines(c, result);
  WriteCodeLine(c, result);
  RunPassLoop(c, 1, [](Compiler& cc, SourceText t) { return PreprocessLine(cc, t); });
  if (c.run.stopped) return false;
  if (c.pre.condDepth != 0) ReportError(c, kErrEndifWithoutIf, "");
  CloseAll(c);
  return !c.run.stopped;
}

// Opens the files of Pass 2 in the table's order; false (the run stopped) at
// the first that cannot be created.
bool OpenPass2Files(Compiler& c) {
  for (const OutputFile& row : kOutputFiles) {
    std::string shown;
    std::string path;
    if (row.named == Named::kBesideSource) {
      shown.assign(row.name);
      path = PathBesideSource(c, row.name);
    } else {
      shown.assign(row.named == Named::kBase ? c.driver.base.view() : c.driver.headerBase.view());
      shown.append(row.name);
      path = PathOfDerived(shown);
    }
    if (!OpenOutput(c, row.file(c), path, shown, row.append)) return false;
  }
  return true;
}

}  // namespace

void WriteHeadsOfPass2(Compiler& c) {
  OutputState& o = c.out;
  WriteSideFile(c, o.header, "ASM compile_for ");
  WriteSideFile(c, o.header, c.driver.base.view());
  WriteSideFile(c, o.header, " ;\r\n");
  WriteSideFile(c, o.header, "#include \"sys60.c\"\r\n");
  WriteSideFile(c, o.header, "#include \"sys61.c\"\r\n");
  SetEmit(c, "INI_BLOCK_001:");
  FlushCode(c);
  SetEmit(c, "INI_BLOCK_002:");
  FlushSection2(c);
  SetEmit(c, "INI_BLOCK_003:");
  FlushSection3(c);
  SetEmit(c, "INI_BLOCK_004:");
  FlushSection4(c);
}

namespace {

// With -d, a text of pass 2 whose run of markers and blanks in front (the
// markers of lines that wrote nothing: comments, directives, an inactive
// region) holds no statement is not a statement: its markers are taken and
// written as they stand. When the run reaches past the point where the reader
// slides while the file goes on, only the markers that begin before that point
// are taken, so that the next statement is handed out with the room of a whole
// window behind it and no marker is cut by the window's end.
std::string_view CompileText(Compiler& c, SourceText t) {
  if (c.run.lineMarkerFlag == 1) {
    BeginText(c, t.text, t.length);
    int end = MarkerRunEnd(c);
    bool fileGoesOn = c.reader.top >= 0 && c.reader.levels[c.reader.top].endOfFile == 0;
    if (fileGoesOn && end > kSlideAfter) {
      ClearEmit(c);
      PassMarkersBefore(c, kSlideAfter);
      return c.out.emit.view();
    }
    if (end >= t.length) {
      ClearEmit(c);
      PassMarkersBefore(c, t.length);
      return c.out.emit.view();
    }
  }
  return DispatchStatement(c, t);
}

bool RunPass2(Compiler& c) {
  Console(c, "Pass 2\r\n");
  c.diag.positions.pass = 2;
  c.reader.top = 0;
  std::string intermediate = Derived(c, ".000");
  if (!OpenBaseLevel(c, PathOfDerived(intermediate), intermediate)) {
    Console(c, "Error no file to open \n");
    StopRun(c, 1);
    return false;
  }
  if (!OpenPass2Files(c)) return false;
  WriteHeadsOfPass2(c);
  if (c.run.stopped) return false;
  RunPassLoop(c, 2, [](Compiler& cc, SourceText t) { return CompileText(cc, t); });
  if (c.run.stopped) return false;
  ReportOpenBlocks(c);
  ReportUsage(c);
  CloseAll(c);
  return !c.run.stopped;
}

}  // namespace

CommandLineIssues ParseCommandLine(Compiler& c, int argc, const char* const* argv) {
  OptionIssues options = ApplyOptions(c, argc, argv);
  CommandLineIssues issues;
  issues.suffix = options.suffix;
  issues.refused = std::move(options.refused);
  DriverState& d = c.driver;
  std::string_view arg = argc > 1 ? argv[1] : "";
  std::size_t filePart = FilePartStart(arg);
  c.run.sourceDir = HostPath(arg.substr(0, filePart));
  std::size_t dot = arg.find('.', filePart);
  std::string_view base = dot == std::string_view::npos ? arg : arg.substr(0, dot);
  // Room is kept for the longest extension (".000") behind the base.
  constexpr std::size_t kBaseLimit = kNameCapacity - 1 - 4;
  bool fits =
      arg.size() <= static_cast<std::size_t>(kNameCapacity - 1) && base.size() <= kBaseLimit;
  if (base.size() > kBaseLimit) base = base.substr(0, kBaseLimit);
  d.base.assign(base);
  d.headerBase.assign(base);
  if (EndsWithOur90(base)) d.headerBase.splice(base.size() - 5, 5, "sys90");
  d.sourceName.assign(base);
  d.sourceName.append(".c");
  if (d.base.find("our") != FileName::npos) c.run.targetSuffix.assign("O");
  issues.fileName = !fits;
  issues.misnamed =
      dot != std::string_view::npos && arg.substr(dot) != ".c" && IsRegularFile(HostPath(arg));
  return issues;
}

namespace {

// A run that has got through both passes: the closing lines.
int EndRun(Compiler& c) {
  Console(c, "Work done \r\n");
  if (c.diag.errorFlag == 1) Console(c, "Error compiling file. Please read 'file.ERR' \r\n");
  if (c.run.console != nullptr) std::fflush(c.run.console);
  if (c.diag.errorFlag == 0 && c.run.tools.warningsAreErrors && c.diag.warningCount > 0) {
    if (c.run.diagnosticsOut != nullptr) {
      std::fputs("stackcc: error: warnings are treated as errors (-Werror)\n",
                 c.run.diagnosticsOut);
    }
    return 1;
  }
  return c.diag.errorFlag;
}

}  // namespace

int RunCompiler(Compiler& c, int argc, const char* const* argv) {
  if (argc < 2) {
    std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
    return 2;
  }
  if (std::string_view asked = InformationAsked(argc, argv); !asked.empty()) {
    Console(c, asked);
    if (c.run.console != nullptr) std::fflush(c.run.console);
    return 0;
  }
  CommandLineIssues pending = ParseCommandLine(c, argc, argv);
  for (const std::string& refused : pending.refused) {
    std::fprintf(stderr, "stackcc: %s (ignored)\n", refused.c_str());
  }
  if (!RunPass1(c, pending) || !RunPass2(c) || !WriteDebugInfo(c) || !WriteDependencyFile(c)) {
    CloseAll(c);
    return c.run.stopStatus;
  }
  return EndRun(c);
}

}  // namespace stackcc
