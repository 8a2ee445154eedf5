// Define substitution and character constants, seen through whole lines.
#include <gtest/gtest.h>

#include <string>

#include "case_name.h"
#include "pass1_harness.h"

namespace stackcc::testing {
namespace {

const std::string E = "\r\n";

using SubstCase = LineCase;

class Substitution : public ::testing::TestWithParam<SubstCase> {};

TEST_P(Substitution, ProcessesTheLine) {
  ExpectLineProcessed(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Substitution,
    ::testing::Values(
        SubstCase{"whole words only, strings included", "#define N 10\n",
                  "N NN N_1 xN 1N N\"N\"(N)", "10 NN N_1 xN 1N 10\"10\"(10)"},
        SubstCase{"case matters", "#define N 10\n", "n N", "n 10"},
        SubstCase{"a value is searched for names defined after it", "#define A B\n#define B x\n",
                  "A B", "x x"},
        SubstCase{"but not for names defined before it", "#define B x\n#define A B\n", "A B",
                  "B x"},
        SubstCase{"a redefinition keeps the place of the first definition",
                  "#define B 1\n#define A B\n#define B 2\n", "A B", "B 2"},
        SubstCase{"a value holding its own name is inserted once", "#define N N+1\n", "x = N;",
                  "x = N+1;"},
        SubstCase{"the same for every use on the line", "#define X (X)\n", "X X X", "(X) (X) (X)"},
        SubstCase{"a chain of names", "#define A B C\n#define B 1\n#define C 2\n", "A;", "1 2;"},
        SubstCase{"parentheses belong to the value", "#define F(a) a*2\n", "y = F(3);",
                  "y = (a) a*2(3);"},
        SubstCase{"an empty value removes the name", "#define E\n", "xE E;", "xE ;"},
        SubstCase{"trailing spaces of a value stay", "#define V 5  \n", "x=V;", "x=5  ;"},
        SubstCase{"leading blanks of a value go", "#define V \t 7\n", "x=V;", "x=7;"},
        SubstCase{"a name with digits and underscores", "#define MAX_2 9\n", "MAX_2 MAX_20",
                  "9 MAX_20"},
        SubstCase{"a long word around a name", "#define N 1\n", "NNNNNNNNNNNNNNNN_N N",
                  "NNNNNNNNNNNNNNNN_N 1"},
        SubstCase{"names from 'Z' to 'a': the bytes between start no name",
                  "#define Zed 1\n#define abc 2\n", "x[Zed]^_Zed `abc abc1 Zed_abc 0abc abc",
                  "x[1]^_Zed `2 abc1 Zed_abc 0abc 2"},
        SubstCase{"a name far into a long line, behind words that begin alike",
                  "#define LIMIT 100\n",
                  "if (LIMITS_AND_MORE_WORDS_HERE > LIMIT_2 && LOW_LIMIT < xLIMIT) y = LIMIT;",
                  "if (LIMITS_AND_MORE_WORDS_HERE > LIMIT_2 && LOW_LIMIT < xLIMIT) y = 100;"},
        SubstCase{"a name at the very start and at the very end", "#define q 7\n", "q+q", "7+7"},
        SubstCase{"character constants", "", "c = 'A' + 'b';", "c = 65  + 98 ;"},
        SubstCase{"three digits", "", "c = 'd';", "c = 100;"},
        SubstCase{"a quote between quotes", "", "c = ''';", "c = 39 ;"},
        SubstCase{"an escape stops the conversion", "", "x = '\\n'; y = 'A';",
                  "x = '\\n'; y = 'A';"},
        SubstCase{"constants before an escape are converted", "", "'A' '\\n' 'B'", "65  '\\n' 'B'"},
        SubstCase{"a lone quote stops it", "", "x = 'A; y = 'B';", "x = 'A; y = 'B';"},
        SubstCase{"names inside constants are substituted first", "#define A 1\n", "x = 'A';",
                  "x = 49 ;"},
        SubstCase{"words sharing first letter and length with names",
                  "#define ab 1\n#define cdef 2\n", "cd ab cdef abcd ad ba cdeg ab_ cdef",
                  "cd 1 2 abcd ad ba cdeg ab_ 2"},
        SubstCase{"a name that begins a longer word", "#define COUNT 5\n",
                  "COUNTER COUNT COUNT1 COUNT_ (COUNT)", "COUNTER 5 COUNT1 COUNT_ (5)"},
        SubstCase{"a word equal but for case", "#define Max 9\n", "max MAX Max mAx MaX",
                  "max MAX 9 mAx MaX"},
        SubstCase{"after leading blanks and tabs", "#define N 10\n", " \t N = N;", "10 = 10;"},
        SubstCase{"a name of 63 characters", "#define " + std::string(63, 'q') + " 7\n",
                  std::string(62, 'q') + " " + std::string(63, 'q') + " " + std::string(64, 'q'),
                  std::string(62, 'q') + " 7 " + std::string(64, 'q')},
        SubstCase{"a name of 64 characters", "#define " + std::string(64, 'q') + " 8\n",
                  std::string(63, 'q') + " " + std::string(64, 'q') + " " + std::string(65, 'q'),
                  std::string(63, 'q') + " 8 " + std::string(65, 'q')},
        SubstCase{"names of 63, 70 and 100 characters among longer words",
                  "#define " + std::string(63, 'a') + " A\n#define " + std::string(70, 'b') +
                      " B\n#define " + std::string(100, 'c') + " C\n",
                  std::string(100, 'c') + " " + std::string(70, 'a') + " " + std::string(70, 'b') +
                      " " + std::string(99, 'c') + " " + std::string(63, 'a') + " " +
                      std::string(101, 'c'),
                  "C " + std::string(70, 'a') + " B " + std::string(99, 'c') + " A " +
                      std::string(101, 'c')},
        SubstCase{"a long name that begins a longer word",
                  "#define " + std::string(80, 'L') + " 1\n",
                  std::string(80, 'L') + "x " + std::string(80, 'L') + "_ " + std::string(80, 'L'),
                  std::string(80, 'L') + "x " + std::string(80, 'L') + "_ 1"}),
    [](const auto& info) { return CaseName(info.param.what); });

TEST(SubstitutionLimits, LineTooLongIsReportedAndCut) {
  Pass1 run;
  std::string value(400, 'v');
  std::string out = run.Run("#define L " + value + "\nx = L L L;\n");
  EXPECT_EQ(run.Reports("Line too long"), 1);
  std::string expected = ("x = " + value + " " + value + " " + value).substr(0, 1021);
  EXPECT_EQ(out, E + expected + E + E);
}

TEST(SubstitutionLimits, LongLineWithADefineIsCut) {
  Pass1 run;
  std::string tail(1500, 't');
  std::string out = run.Run("#define N 1\nx = N " + tail + ";\n");
  EXPECT_EQ(run.Reports("Line too long"), 1);
  EXPECT_EQ(out, E + ("x = 1 " + tail).substr(0, 1021) + E + E);
}

TEST(SubstitutionLimits, ExpansionThatGrowsWithoutEndIsCut) {
  Pass1 run;
  std::string defines;
  for (int i = 0; i < 40; ++i) {
    defines += "#define D" + std::to_string(i) + " D" + std::to_string(i + 1) + " D" +
               std::to_string(i + 1) + "\n";
  }
  std::string out = run.Run(defines + "D0\n");
  EXPECT_EQ(run.Reports("Line too long"), 1);
  EXPECT_EQ(out.size(), 40 * 2 + 1021 + 4);
}

TEST(SubstitutionLimits, ManyDefinesOnManyLinesStayFast) {
  Pass1 run;
  std::string source;
  for (int i = 0; i < 500; ++i)
    source += "#define NAME" + std::to_string(i) + " " + std::to_string(i) + "\n";
  std::string line;
  for (int i = 0; i < 50; ++i)
    line += "NAME" + std::to_string(i * 7) + "x NAME" + std::to_string(i * 8) + " ";
  for (int i = 0; i < 3000; ++i) source += line + ";\n";
  std::string out = run.Run(source);
  EXPECT_EQ(run.AllReports(), 0);
  EXPECT_NE(out.find("NAME0x 0 NAME7x 8 "), std::string::npos);
}

}  // namespace
}  // namespace stackcc::testing
