// Pass 1 takes a short way for lines that none of its work would change. Every
// input must leave the same files whether or not the short way is taken: the
// golden cases without line markers (with markers it is never taken), and
// lines that stand just outside what the short way takes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "whole_run.h"

namespace stackcc::testing {
namespace {

void Shortcut(Compiler& c) {
  c.driver.plainLineShortcut = true;
}
void FullWork(Compiler& c) {
  c.driver.plainLineShortcut = false;
}

std::vector<std::string> WithoutMarkers(const std::vector<std::string>& args) {
  std::vector<std::string> kept;
  for (const std::string& a : args) {
    if (a != "-d") kept.push_back(a);
  }
  return kept;
}

TEST(PlainLines, EveryGoldenCaseLeavesTheSameFiles) {
  auto compare = [](const std::string& name, const Inputs& inputs,
                    const std::vector<std::string>& args) {
    ExpectSameRuns(name, inputs, WithoutMarkers(args), FullWork, Shortcut);
  };
  EXPECT_GT(ForEachGoldenCase(compare), 40);
}

std::string Repeat(const std::string& unit, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += unit;
  return s;
}

TEST(PlainLines, LinesAtTheEdgesOfTheShortWayLeaveTheSameFiles) {
  const std::string longLine = "int x = " + Repeat("1 + ", 300) + "1;\n";
  struct Case {
    const char* label;
    std::string source;
  } cases[] = {
      {"defines used and not",
       "#define N 4\n#define NN 5\nint a = N;\nint b = NN;\nint c = NX;\nint d = xN;\n"},
      {"quotes and comments",
       "int a = 'A';\nint b = 1; // c\nint c = 2; /* d */ int e;\n/* x\n y */ int f;\n"},
      {"a line longer than the short way's reach", longLine + longLine},
      {"an inactive region", "#IF 0\nint a;\n#ENDIF\nint b;\n#IF 1\nint c;\n#ENDIF\n"},
      {"blank lines, tabs, CR-only ends and high bytes",
       "\n\n\t int a;\r\n\r\n  int b;\rint c;\n\xA0int d;\n int e;\xE9\n"},
      {"a last line without its line feed", "int a;\nint b;"},
      {"directives and marker-like words",
       "#define L 1\nLINE:3:x\nLx = L;\nint LIMIT;\n #define M 2\nint m = M;\n"},
      {"a NUL in a line", std::string("int a;\nint b\0c;\nint d;\n", 22)},
      {"many lines across windows", Repeat("  i = i + 1;\n  j = j - 1;\n\n", 4000)},
  };
  for (const Case& k : cases) {
    Inputs inputs{{"prog.c", k.source}, {"Sys10.c", "int sys;\n"}};
    ExpectSameRuns(k.label, inputs, {"prog.c"}, FullWork, Shortcut);
  }
}

}  // namespace
}  // namespace stackcc::testing
