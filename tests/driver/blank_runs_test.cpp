// Long runs of blanks (empty lines, comment lines, an inactive region, #define
// lines, whose empty lines reach pass 2 through <base>.000) end a file only at
// its real end, wherever they stand and in whichever file: the program compiles
// to the same code as without the run, markers and empty lines aside.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/compiler.h"
#include "whole_run.h"

namespace stackcc {
namespace {

using testing::Inputs;
using testing::RunIn;
using testing::RunOutcome;

std::string Repeat(const std::string& unit, int n) {
  std::string s;
  s.reserve(unit.size() * static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) s += unit;
  return s;
}

struct BlankRun {
  const char* label;
  std::string text;
};

// Each comment line writes two blanks into <base>.000, a #define line one.
std::vector<BlankRun> Runs() {
  return {
      {"lines_20480", Repeat("\n", 20480)},
      {"lines_40960", Repeat("\n", 40960)},
      {"spaces_20479", Repeat(" ", 20479) + "\n"},
      {"comments_10239", Repeat("// c\n", 10239)},
      {"comments_10239_define", Repeat("// c\n", 10239) + "#define D 1\n"},
      {"comments_10240", Repeat("// c\n", 10240)},
      {"comments_20480", Repeat("// c\n", 20480)},
      {"inactive_25000", "#IF MODE on\n" + Repeat("int q;\n", 25000) + "#ENDIF\n"},
      {"defines_10300", Repeat("#define D 1\n", 10300)},
  };
}

const char* const kPlaces[] = {"before", "between", "body", "after", "include", "sys"};

Inputs Program(const std::string& place, const std::string& run) {
  auto at = [&](const char* p) { return place == p ? run : std::string(); };
  Inputs in;
  in["Sys10.c"] = "#define MODE off\nint s;\n" + at("sys") + "int t;\n";
  in["part.h"] = "int c;\n" + at("include") + "int d;\n";
  in["prog.c"] = "#include \"part.h\"\nint a;\n" + at("before") + "int b;\n" + at("between") +
                 "int e;\nint main()\n{\n" + at("body") +
                 "  a = 1;\n  b = a + 2;\n  return b;\n}\n" + at("after");
  return in;
}

// A file's lines without markers and empty lines.
std::string Content(const std::string& text) {
  std::istringstream lines(text);
  std::string line, kept;
  while (std::getline(lines, line)) {
    if (line.starts_with("LINE:") || line == "\r" || line.empty()) continue;
    kept += line + "\n";
  }
  return kept;
}

TEST(BlankRuns, EndAFileOnlyAtItsRealEnd) {
  const char* const compared[] = {"prog.001", "prog.002", "prog.003",  "prog.004",
                                  "prog.h",   "prog.lst", "funct1.txt"};
  for (const char* flag : {"", "-d"}) {
    std::vector<std::string> args = {"prog.c"};
    if (*flag != '\0') args.push_back(flag);
    RunOutcome plain = RunIn(Program("", ""), args, [](Compiler&) {});
    ASSERT_EQ(plain.status, 0) << plain.console;
    for (const BlankRun& run : Runs()) {
      for (const char* place : kPlaces) {
        std::string label = std::string(run.label) + " " + place + " " + flag;
        RunOutcome out = RunIn(Program(place, run.text), args, [](Compiler&) {});
        EXPECT_EQ(out.status, 0) << label << "\n" << out.console;
        EXPECT_NE(out.files["prog.001"].find("\r\nmain:\r\n"), std::string::npos) << label;
        for (const char* f : compared) {
          EXPECT_EQ(Content(out.files[f]), Content(plain.files[f])) << label << ": " << f;
        }
      }
    }
  }
}

}  // namespace
}  // namespace stackcc
