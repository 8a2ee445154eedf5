// Hostile inputs: every limit one past full, every end of text, junk bytes. Each
// must end with the expected status (and code), never crash or hang, and leave
// complete output files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/compiler.h"
#include "driver/driver.h"
#include "io/diagnostics.h"
#include "test_support.h"

namespace stackcc {
namespace {

using testing::MakeTempDir;
using testing::ReadFile;
using testing::TestCompiler;
using testing::WriteFile;

struct RunResult {
  int status = 0;
  std::string dir;
  std::bitset<128> codes;
};

RunResult Compile(const std::string& source, const std::string& system = "",
                  const std::string& dir = "") {
  RunResult run;
  run.dir = dir.empty() ? MakeTempDir() : dir;
  WriteFile(run.dir + "prog.c", source);
  WriteFile(run.dir + "Sys10.c", system);
  TestCompiler t;
  std::string prog = run.dir + "prog.c";
  const char* argv[] = {"stackcc", prog.c_str(), "-d"};
  run.status = RunCompiler(t.c(), 3, argv);
  run.codes = t->diag.codesSeen;
  return run;
}

std::string Repeat(const std::string& unit, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += unit;
  return s;
}

std::string Numbered(const std::string& before, const std::string& after, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) {
    s += before;
    s += std::to_string(i);
    s += after;
  }
  return s;
}

struct HostileCase {
  const char* label;
  std::string source;
  int status;  // -1: 0 or 1 both acceptable
  int code;    // an error code that must be among the reports (0: none required)
};

std::vector<HostileCase> Cases() {
  std::string big(300, 'p');
  return {
      {"symbol_table_one_past_full", Numbered("int v", ";\n", 5000), 1, kErrSymbolTableFull},
      {"member_table_one_past_full",
       Numbered("struct S", " {\n" + Numbered("int m", ";\n", 10) + "};\n", 100), 1,
       kErrMemberTableFull},
      {"dimension_table_one_past_full", Numbered("int a", "[2];\n", 1001), 1,
       kErrDimensionTableFull},
      {"eight_dimensions", "int a[1][1][1][1][1][1][1][1];\n", 1, kErrDimensionCount},
      {"name_past_its_field", "int " + std::string(100, 'n') + ";\n", 1, kErrNameLength},
      {"name_past_the_reader", "int " + std::string(200, 'n') + ";\n", 1, kErrTokenLength},
      {"define_table_one_past_full", Numbered("#define D", " 1\n", 501), 1, kErrDefineTableFull},
      {"define_value_past_its_field", "#define D " + std::string(600, 'v') + "\n", 1,
       kErrDefineLength},
      {"if_nesting_one_past", "#define N 1\n" + Repeat("#IF N 1\n", 20) + Repeat("#ENDIF\n", 20), 1,
       kErrIfNesting},
      {"include_itself", "#include \"prog.c\"\nint x;\n", 1, kErrIncludeDepth},
      {"include_name_too_long", "#include \"" + std::string(45, 'i') + ".h\"\n", 1,
       kErrIncludeName},
      {"blocks_one_past", "void f() {\n" + Repeat("if (1) {\n", 20) + Repeat("}\n", 20) + "}\n", 1,
       kErrBlockNesting},
      {"stray_closing_brace", "}\nint x;\n", 1, kErrBlockUnderflow},
      {"case_outside_switch", "void f() {\ncase 1:\n}\n", 1, kErrCaseOutsideSwitch},
      {"switch_subject_too_long",
       "int x;\nvoid f() {\nswitch (x + x + x + x + x + x + x + x + x + x + x + x + x + x + x + x) "
       "{\ndefault:\n}\n}\n",
       1, kErrSwitchSubject},
      {"function_name_too_long", "void " + std::string(40, 'f') + "() {\n}\n", 1, kErrFunctionName},
      {"parameter_too_long", "void f(int " + big + ") {\n}\n", 1, kErrParameterLength},
      {"statement_at_the_position_limit", "int " + Numbered("v", ", ", 1200) + "w;\n", 1,
       kErrStatementLength},
      {"expression_too_long", "int x;\nx = 1" + Repeat("+1", 600) + ";\n", 1, kErrExpressionLength},
      {"unterminated_string", "int x;\nx = \"abc", 1, 0},
      {"unterminated_comment", "int x;\n/* never closed\n", 0, 0},
      {"unterminated_brace_list", "int a[3] = {1, 2", 1, kErrList},
      {"unterminated_brackets", "int a[3", -1, 0},
      {"unterminated_parentheses", "void f() {\nif (x {\n", 1, kErrParentheses},
      {"unterminated_block", "void f() {\nwhile (1) {\n", -1, 0},
      {"conditional_operator", "int x;\nx = 1 ? 2 : 3;\n", 1, kErrExpression},
      {"null_operand", "int *p;\np = NULL;\n", 0, 0},
      {"stray_braces", "{\n}\n}\n{ {\n", 1, 0},
      {"nul_bytes", std::string("int x;\n\0\0x = 1;\0\n", 17), -1, 0},
      {"cr_only_line_ends", "int x;\rx = 1;\rint y;\r", -1, 0},
      {"high_bytes", "int x\xE9;\n\xFF\xFEx = 1;\n", -1, 0},
      {"marker_text_in_source", "LINE:\nLINE:1:x LINE:", -1, 0},
      {"lone_hash_directives", "#include\n#define\n#IF\n#ELSE\n#ENDIF\n#IFLESS \n", 1, 0},
  };
}

void PrintTo(const HostileCase& tc, std::ostream* os) {
  *os << tc.label;
}

class HostileTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileTest, EndsCleanlyWithTheExpectedReport) {
  const HostileCase& tc = GetParam();
  RunResult run = Compile(tc.source);
  if (tc.status >= 0) {
    EXPECT_EQ(run.status, tc.status);
  } else {
    EXPECT_TRUE(run.status == 0 || run.status == 1) << run.status;
  }
  if (tc.code != 0) {
    EXPECT_TRUE(run.codes.test(static_cast<std::size_t>(tc.code))) << tc.code;
  }
  // Every file of a complete run exists; the code file ends with a line end.
  std::string code = ReadFile(run.dir + "prog.001");
  ASSERT_GE(code.size(), 2u);
  EXPECT_EQ(code.substr(code.size() - 2), "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Inputs, HostileTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.label); });

// Files whose size sits on the reader's window boundaries.
class WindowSizeTest : public ::testing::TestWithParam<int> {};

TEST_P(WindowSizeTest, FilesAroundWindowMultiplesCompile) {
  int size = GetParam();
  std::string source = "int x;\n";
  std::string line = "x = x + 1;\n";
  while (source.size() + line.size() <= static_cast<std::size_t>(size)) source += line;
  source += std::string(static_cast<std::size_t>(size) - source.size(), ' ');
  ASSERT_EQ(source.size(), static_cast<std::size_t>(size));
  RunResult run = Compile(source);
  EXPECT_EQ(run.status, 0);
  std::string code = ReadFile(run.dir + "prog.001");
  std::size_t statements = 0;
  for (std::size_t p = 0; (p = code.find("drop 4", p)) != std::string::npos; ++p) ++statements;
  EXPECT_EQ(statements, (source.size() - 7) / line.size());
}

INSTANTIATE_TEST_SUITE_P(Boundaries, WindowSizeTest,
                         ::testing::Values(20479, 20480, 20481, 40959, 40960, 40961, 61441),
                         [](const auto& info) { return "bytes_" + std::to_string(info.param); });

TEST(Robustness, BinaryJunkEndsCleanly) {
  unsigned seed = 12345;
  for (int round = 0; round < 8; ++round) {
    std::string junk;
    for (int i = 0; i < 30000; ++i) {
      seed = seed * 1103515245u + 12345u;
      junk += static_cast<char>((seed >> 16) & 0xFF);
    }
    RunResult run = Compile(junk, junk.substr(0, 500));
    EXPECT_TRUE(run.status == 0 || run.status == 1) << run.status;
  }
}

TEST(Robustness, MissingIncludeEndsWithStatusOne) {
  RunResult run = Compile("int x;\n#include \"missing.h\"\nint y;\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.codes.test(kErrNoFile));
  EXPECT_EQ(ReadFile(run.dir + "prog.001"), "");  // Pass 2 never ran
}

TEST(Robustness, SameInputTwiceGivesIdenticalFiles) {
  std::string source =
      "#define N 4\nstruct S { int a; char b; };\nstruct S s;\nint t[N] = {1, 2};\n"
      "int f(int a) {\n  int i;\n  for (i = 0; i < N; i++) {\n    t[i] = a + i;\n  }\n"
      "  s.a = \"xy\";\n  return (a);\n}\n";
  const char* files[] = {"prog.000", "prog.001", "prog.002", "prog.003",  "prog.004",
                         "prog.err", "prog.h",   "prog.lst", "funct1.txt"};
  RunResult first = Compile(source);
  std::vector<std::string> before;
  for (const char* f : files) before.push_back(ReadFile(first.dir + f));
  Compile(source, "", first.dir);
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(before[i], ReadFile(first.dir + files[i])) << files[i];
  }
}

// A file that takes nothing (a full device): a run that had bytes for it must
// not end in "Work done" with status 0, whichever file it is. A file the run
// leaves empty loses nothing.
TEST(Robustness, OutputThatCannotBeWrittenStopsWithMinusOne) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  const std::string source = "int x = 1;\nint f(int a) {\n  return (a);\n}\n";
  const char* files[] = {"prog.000", "prog.001", "prog.002", "prog.003",  "prog.004",
                         "prog.err", "prog.h",   "prog.lst", "funct1.txt"};
  RunResult plain = Compile(source);
  ASSERT_EQ(plain.status, 0);
  for (const char* name : files) {
    std::string dir = MakeTempDir();
    WriteFile(dir + "prog.c", source);
    WriteFile(dir + "Sys10.c", "");
    std::filesystem::create_symlink("/dev/full", dir + name);
    TestCompiler t;
    std::string prog = dir + "prog.c";
    const char* argv[] = {"stackcc", prog.c_str(), "-d"};
    int expected = ReadFile(plain.dir + name).empty() ? 0 : -1;
    EXPECT_EQ(RunCompiler(t.c(), 3, argv), expected) << name;
  }
}
// A run stopped half way by a file-size limit (as by a full disk) leaves the
// last run's files as they were, and no temporary file, whichever pass fails.
TEST(Robustness, InterruptedRunLeavesTheLastRunsFiles) {
  const char* files[] = {"prog.000", "prog.001", "prog.002", "prog.003",  "prog.004",
                         "prog.err", "prog.h",   "prog.lst", "funct1.txt"};
  struct Case {
    const char* what;
    int lines;           // lines of the second program
    std::size_t limit;   // bytes a file may grow to in the second run
    bool pass1Finished;  // its prog.000 and prog.err are then the new ones
  } cases[] = {
      {"Pass 1 fails", 20000, 60000, false},
      {"Pass 2 fails", 3000, 200000, true},
  };
  for (const Case& k : cases) {
    RunResult first = Compile("int x;\nint main() {\n  x = 1;\n}\n");
    ASSERT_EQ(first.status, 0);
    std::map<std::string, std::string> before;
    for (const char* f : files) before[f] = ReadFile(first.dir + f);
    std::string big = "int main() {\n" + Numbered("  x = x + ", ";\n", k.lines) + "}\nint x;\n";
    WriteFile(first.dir + "prog.c", big);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      struct rlimit limit = {k.limit, k.limit};
      setrlimit(RLIMIT_FSIZE, &limit);
      std::signal(SIGXFSZ, SIG_IGN);
      TestCompiler t;
      std::string prog = first.dir + "prog.c";
      const char* argv[] = {"stackcc", prog.c_str(), "-d"};
      _exit(RunCompiler(t.c(), 3, argv) & 0xFF);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << k.what;
    EXPECT_EQ(WEXITSTATUS(status), 255) << k.what;
    for (const char* f : files) {
      bool renewed =
          k.pass1Finished && (std::string(f) == "prog.000" || std::string(f) == "prog.err");
      if (!renewed) {
        EXPECT_TRUE(ReadFile(first.dir + f) == before[f]) << k.what << ": " << f;
      }
    }
    for (const auto& entry : std::filesystem::directory_iterator(first.dir)) {
      EXPECT_NE(entry.path().extension(), ".tmp") << k.what << ": " << entry.path();
    }
  }
}

}  // namespace
}  // namespace stackcc
