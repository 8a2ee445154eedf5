// The one walk over ordinary lines: the define filter's edges, the bytes it
// stops at, and lines across window slides and long blank runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "pass1_harness.h"

namespace stackcc::testing {
namespace {

const std::string E = "\r\n";

using WalkCase = LineCase;

class Walk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(Walk, ProcessesTheLine) {
  ExpectLineProcessed(GetParam());
}

const std::string W62(62, 'W'), W63(63, 'W'), W64(64, 'W'), W65(65, 'W');

INSTANTIATE_TEST_SUITE_P(
    Cases, Walk,
    ::testing::Values(
        WalkCase{"first byte and length of a name, but no name", "#define AB 1\n", "AC AB BA AA",
                 "AC 1 BA AA"},
        WalkCase{"a length of another first byte's name", "#define AB 1\n#define XYZ 2\n",
                 "ABC XY XYZ AB", "ABC XY 2 1"},
        WalkCase{"an #undef is an ordinary line: the name stays defined", "#define N 3\n",
                 "#undef N\nx = N;", "#undef 3" + E + E + "x = 3;"},
        WalkCase{"lengths around the filter's last bucket",
                 "#define " + W63 + " 63\n#define " + W64 + " 64\n",
                 W62 + " " + W63 + " " + W64 + " " + W65, W62 + " 63 64 " + W65},
        WalkCase{"a name longer than the bucket alone", "#define " + W65 + " 65\n",
                 W63 + " " + W64 + " " + W65, W63 + " " + W64 + " 65"},
        WalkCase{"a one-letter name", "#define N 10\n", "N(N)NN,N", "10(10)NN,10"},
        WalkCase{"bytes 0x80-0xFF part words as blanks", "#define N 10\n", "N\xe9N\x80xN\xffN",
                 "10 10 xN 10"},
        WalkCase{"and in strings", "#define N 10\n", "s = \"N\xa0N\";", "s = \"10 10\";"},
        WalkCase{"a NUL ends what is kept", "#define N 10\n", std::string("a N\0 N b", 8), "a 10"},
        WalkCase{"a comment ends the line and its name", "#define N 10\n", "x = N// N", "x = 10"},
        WalkCase{"a slash alone is kept", "#define N 10\n", "x = N/N;", "x = 10/10;"},
        WalkCase{"a character constant in a value", "#define Q 'A'\n", "c = Q;", "c = 65 ;"},
        WalkCase{"a word at the end of the file's last line", "#define N 10\n", "N", "10"},
        WalkCase{"letters that begin no name are copied", "#define Z 1\n", "abc Zz zZ Z",
                 "abc Zz zZ 1"}));

// Lines of one window, of windows that slide, and after blank runs that the
// reader passes itself: each line written as it would be alone.
TEST(WalkWindows, EveryLineOfManyWindowsKeepsItsMarker) {
  std::string source = "#define N 10\n";
  std::string expected = E;
  int lineNo = 1;
  for (int k = 1; k < 3000; ++k) {
    if (k % 500 == 0) {
      source += std::string(3000, '\n');  // a blank run longer than the slide point
      lineNo += 3000;
    }
    ++lineNo;
    std::string a(1, 'a');
    a += std::to_string(k);
    bool comment = k % 777 == 0;
    source += a + " = N;" + (comment ? " /* a comment that ends here */ b = N;" : "") + "\n";
    // A line with a "/*" loses its marker; the blank before the comment stays
    // at the end of the text before it.
    if (comment) {
      expected += a + " = 10; " + E + E + "b = 10;" + E + E;
    } else {
      expected += "LINE:" + std::to_string(lineNo) + ":prog.c" + E + a + " = 10;" + E + E;
    }
  }
  Pass1 run;
  std::string out = run.Run(source, true);
  std::size_t at =
      std::mismatch(out.begin(), out.end(), expected.begin(), expected.end()).first - out.begin();
  EXPECT_EQ(at, expected.size()) << "from here: " << out.substr(at > 40 ? at - 40 : 0, 120);
  EXPECT_EQ(run.AllReports(), 0);
}

// A line longer than a window is handed out in parts, each a line of its own;
// the walk ends the first where the window ends.
TEST(WalkWindows, ALineLongerThanTheWindowIsCutWhereTheWindowEnds) {
  std::string longLine(30000, 'x');
  Pass1 run;
  std::string out = run.Run("a;\n" + longLine + "\nb;\n");
  std::string::size_type first = out.find("x");
  ASSERT_NE(first, std::string::npos);
  std::string::size_type cut = out.find(E, first);
  // The first part ends where the window ends, and the rest follows as a line.
  EXPECT_LT(cut - first, longLine.size());
  EXPECT_EQ(out.substr(out.size() - 6), "b;" + E + E);
  std::string xs;
  for (char ch : out) {
    if (ch == 'x') xs += ch;
  }
  EXPECT_EQ(xs, longLine);
}

}  // namespace
}  // namespace stackcc::testing
