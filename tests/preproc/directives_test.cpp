// The conditional directives, #define and the limits of their tables.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "case_name.h"
#include "pass1_harness.h"

namespace stackcc::testing {
namespace {

const std::string E = "\r\n";

// Is the line "on;" compiled under the directive?
struct CondCase {
  std::string directive;
  bool active;
};

class Conditions : public ::testing::TestWithParam<CondCase> {};

TEST_P(Conditions, DecideTheRegion) {
  const CondCase& k = GetParam();
  Pass1 run;
  std::string out =
      run.Run("#define N 3\n#define E\n#define T 3  \n" + k.directive + "\non;\n#ENDIF\n");
  EXPECT_EQ(out.find("on;") != std::string::npos, k.active) << k.directive;
  EXPECT_EQ(run.AllReports(), 0) << k.directive;
  EXPECT_EQ(run.c().pre.condDepth, 0) << k.directive;
}

INSTANTIATE_TEST_SUITE_P(
    Words, Conditions,
    ::testing::Values(
        CondCase{"#IF N 1 2 3", true}, CondCase{"#IF N 1 2", false}, CondCase{"#IF N 3 9", true},
        CondCase{"#IFNOT N 1 2", true}, CondCase{"#IFNOT N 2 3", false}, CondCase{"#IF N", false},
        CondCase{"#IF E", true}, CondCase{"#IF E x", true}, CondCase{"#IFNOT E", false},
        CondCase{"#IFNOT N", true}, CondCase{"#IF N 1,3", false}, CondCase{"#IF N 3,1", true},
        CondCase{"#IF N -3", false}, CondCase{"#IF  N  3", true}, CondCase{"#IF T 3", true},
        CondCase{"#IFNOT T 3", false}, CondCase{"#IF N 3 // why", true}),
    [](const auto& info) { return CaseName(info.param.directive, info.index); });

INSTANTIATE_TEST_SUITE_P(
    Numbers, Conditions,
    ::testing::Values(CondCase{"#IFLESS N 5 9", true}, CondCase{"#IFLESS N 5 2", false},
                      CondCase{"#IFLESS N 3", false}, CondCase{"#IFLESSOREQUAL N 3", true},
                      CondCase{"#IFLESSOREQUAL N 2", false}, CondCase{"#IFGREATER N 3", false},
                      CondCase{"#IFGREATER N 2 1", true}, CondCase{"#IFGREATEROREQUAL N 3", true},
                      CondCase{"#IFGREATEROREQUAL N 4", false}, CondCase{"#IFLESS N", true},
                      CondCase{"#IFGREATER N", true}, CondCase{"#IFLESS N 4,1", true},
                      CondCase{"#IFGREATER N 2x", true}, CondCase{"#IFLESS N x", false},
                      CondCase{"#IFLESS E 1", true}, CondCase{"#IFLESS T 4", true}),
    [](const auto& info) { return CaseName(info.param.directive, info.index); });

TEST(Conditionals, TrimmedValueIsWhatLaterLinesGet) {
  Pass1 run;
  EXPECT_EQ(run.Run("#define T 3  \nx=T;\n#IF T 3\n#ENDIF\nx=T;\n"),
            E + "x=3  ;" + E + E + E + E + "x=3;" + E + E);
}

TEST(Conditionals, ElseFlipsAndFlipsBack) {
  Pass1 run;
  std::string out = run.Run("#define N 1\n#IF N 1\na;\n#ELSE\nb;\n#ELSE\nc;\n#ENDIF\nd;\n");
  EXPECT_EQ(out, E + E + "a;" + E + E + E + E + E + "c;" + E + E + E + "d;" + E + E);
}

TEST(Conditionals, NestedInInactiveStaysOff) {
  Pass1 run;
  std::string out =
      run.Run("#define N 1\n#IF N 2\n#IF N 1\na;\n#ELSE\nb;\n#ENDIF\n#ELSE\nc;\n#ENDIF\nd;\n");
  EXPECT_EQ(out.find("a;"), std::string::npos);
  EXPECT_EQ(out.find("b;"), std::string::npos);
  EXPECT_NE(out.find("c;"), std::string::npos);
  EXPECT_NE(out.find("d;"), std::string::npos);
  EXPECT_EQ(run.AllReports(), 0);
}

TEST(Conditionals, InactiveRegionIgnoresIncludeAndDefine) {
  Pass1 run;
  std::string out =
      run.Run("#define N 1\n#IF N 2\n#include \"missing.h\"\n#define N 2\n#ENDIF\nx = N;\n");
  EXPECT_EQ(run.AllReports(), 0);
  EXPECT_FALSE(run.c().run.stopped);
  EXPECT_NE(out.find("x = 1;"), std::string::npos);
}

TEST(Conditionals, LongerKeywordsAreTheDirectives) {
  Pass1 run;
  std::string out = run.Run("#define N 1\n#IF N 1\n#ELSEWHERE\na;\n#ENDIFS\nb;\n");
  EXPECT_EQ(out.find("a;"), std::string::npos);
  EXPECT_NE(out.find("b;"), std::string::npos);
  EXPECT_EQ(run.AllReports(), 0);
}

TEST(ConditionalErrors, StrayEndifIsReportedAndChangesNothing) {
  Pass1 run;
  std::string out = run.Run("#ENDIF\na;\n");
  EXPECT_EQ(run.Reports("#ENDIF Without #IF"), 1);
  EXPECT_EQ(run.c().pre.condDepth, 0);
  EXPECT_NE(out.find("a;"), std::string::npos);
}

TEST(ConditionalErrors, StrayElseTurnsTheRestOff) {
  Pass1 run;
  std::string out = run.Run("a;\n#ELSE\nb;\n#ELSE\nc;\n");
  EXPECT_EQ(out, "a;" + E + E + E + E + E + E);
  EXPECT_EQ(run.AllReports(), 0);
}

TEST(ConditionalErrors, UndefinedNamePushesNoLevel) {
  Pass1 run;
  std::string out = run.Run("#IF NOPE 1\na;\n#ENDIF\n");
  EXPECT_EQ(run.Reports("#IF Bad Parameters, Invalid Variable"), 1);
  EXPECT_EQ(run.Reports("#ENDIF Without #IF"), 1);
  EXPECT_NE(out.find("a;"), std::string::npos);
}

TEST(ConditionalErrors, UnreadableNameMeetsTheFreeEntry) {
  Pass1 run;
  // The name is not read; the free entry's empty value equals the empty word
  // that ends the list, so the level is pushed and on.
  std::string out = run.Run("#IF 9\na;\n#ENDIF\n");
  EXPECT_EQ(run.Reports("Get Variable error"), 1);
  EXPECT_EQ(run.AllReports(), 1);
  EXPECT_NE(out.find("a;"), std::string::npos);
}

TEST(ConditionalErrors, NestingBeyondTheStackIsReportedAndBalanced) {
  Pass1 run;
  std::string source = "#define N 1\n";
  for (int i = 0; i < 22; ++i) source += "#IF N 1\n";
  source += "in;\n#ELSE\nalso;\n";
  for (int i = 0; i < 22; ++i) source += "#ENDIF\n";
  source += "out;\n";
  std::string out = run.Run(source);
  EXPECT_EQ(run.Reports("#IF nested too deep"), 3);
  EXPECT_EQ(run.AllReports(), 3);
  EXPECT_EQ(run.c().pre.condDepth, 0);
  EXPECT_NE(out.find("in;"), std::string::npos);
  EXPECT_NE(out.find("also;"), std::string::npos);
  EXPECT_NE(out.find("out;"), std::string::npos);
}

TEST(Defines, UnreadableNameDefinesNothing) {
  Pass1 run;
  std::string out = run.Run("#define 9X 5\n#define N 1\nN 9X;\n");
  EXPECT_EQ(run.Reports("Get Variable error"), 1);
  EXPECT_EQ(run.c().pre.defineCount, 1);
  EXPECT_NE(out.find("1 9X;"), std::string::npos);
}

TEST(Defines, DefinitionsCrossIncludeBoundaries) {
  Pass1 run;
  run.File("defs.h", "#define IN 1\nx = OUT;\n");
  std::string out = run.Run("#define OUT 2\n#include \"defs.h\"\ny = IN;\n");
  EXPECT_NE(out.find("x = 2;"), std::string::npos);
  EXPECT_NE(out.find("y = 1;"), std::string::npos);
}

TEST(Defines, TableFullIsReportedAndRedefinitionStillWorks) {
  Pass1 run;
  std::string source;
  for (int i = 0; i < 501; ++i)
    source += "#define D" + std::to_string(i) + " " + std::to_string(i) + "\n";
  source += "#define D7 seven\nD0 D7 D499 D500;\n";
  std::string out = run.Run(source);
  EXPECT_EQ(run.Reports("Too many defines"), 1);
  EXPECT_NE(run.Errors().find("Too many defines;D500; Fatal error"), std::string::npos);
  EXPECT_NE(out.find("0 seven 499 D500;"), std::string::npos);
}

TEST(Defines, OverlongValueIsReportedAndCut) {
  Pass1 run;
  std::string value(600, 'v');
  std::string out = run.Run("#define L " + value + "\nL;\n");
  EXPECT_EQ(run.Reports("Define name or value too long"), 1);
  EXPECT_NE(out.find(value.substr(0, 511) + ";"), std::string::npos);
}

std::string NumberedName(int i) {
  std::string name = std::to_string(i * 31);
  name.insert(0, 1, 'N');
  return name;
}

TEST(Defines, LookupFindsEveryNameAfterManyDefinitions) {
  auto owned = std::make_unique<PreprocState>();
  PreprocState& state = *owned;
  for (int i = 0; i < kDefineEntries; ++i) {
    ASSERT_EQ(AddDefine(state, NumberedName(i)), i);
  }
  for (int i = 0; i < kDefineEntries; ++i) {
    EXPECT_EQ(FindDefine(state, NumberedName(i)), i);
  }
  EXPECT_EQ(FindDefine(state, "N1"), -1);
  EXPECT_EQ(FindDefine(state, ""), -1);  // no free entry left
  EXPECT_EQ(AddDefine(state, "more"), -1);
}

}  // namespace
}  // namespace stackcc::testing
