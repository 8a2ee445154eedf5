// #include: nesting, line counters, and the failures that stop or do not stop
// the run.
#include <gtest/gtest.h>

#include <string>

#include "case_name.h"
#include "pass1_harness.h"

namespace stackcc::testing {
namespace {

const std::string E = "\r\n";

TEST(Include, NestedFilesComeInPlaceWithTheirOwnCounters) {
  Pass1 run;
  run.File("one.h", "o1;\n#include \"two.h\"\no3;\n");
  run.File("two.h", "t1;\n\nt3;\n");
  std::string out = run.Run("p1;\n#include \"one.h\"\np3;\n", true);
  EXPECT_EQ(out, "p1;" + E + E + E + "o1;" + E + E + E + "t1;" + E + E + "LINE:3:two.h" + E +
                     "t3;" + E + E + "LINE:3:one.h" + E + "o3;" + E + E + "LINE:3:prog.c" + E +
                     "p3;" + E + E);
  EXPECT_EQ(run.AllReports(), 0);
}

TEST(Include, EmptyFileAddsNothing) {
  Pass1 run;
  run.File("empty.h", "");
  EXPECT_EQ(run.Run("#include \"empty.h\"\na;\n", true), E + "LINE:2:prog.c" + E + "a;" + E + E);
}

TEST(Include, FileOpenedAgainStartsAtLineOne) {
  Pass1 run;
  run.File("x.h", "x1;\nx2;\n");
  std::string out = run.Run("#include \"x.h\"\n#include \"x.h\"\n", true);
  EXPECT_EQ(Pass1::Count(out, "LINE:2:x.h"), 2);
}

TEST(Include, RegionOpenedInAnIncludeClosesInTheIncluder) {
  Pass1 run;
  run.File("open.h", "#define N 1\n#IF N 2\n");
  std::string out = run.Run("#include \"open.h\"\nhidden;\n#ENDIF\nshown;\n");
  EXPECT_EQ(out.find("hidden;"), std::string::npos);
  EXPECT_NE(out.find("shown;"), std::string::npos);
  EXPECT_EQ(run.AllReports(), 0);
}

struct StopCase {
  const char* what;
  std::string line;
  int reports;
};

class IncludeStops : public ::testing::TestWithParam<StopCase> {};

TEST_P(IncludeStops, ReportsNoFileAndStops) {
  const StopCase& k = GetParam();
  Pass1 run;
  run.File("sub/keep.h", "k;\n");
  std::string out = run.Run("a;\n" + k.line + "\nb;\n");
  EXPECT_TRUE(run.c().run.stopped) << k.what;
  EXPECT_EQ(run.c().run.stopStatus, 1) << k.what;
  EXPECT_EQ(run.Reports("No file to open"), 1) << k.what;
  EXPECT_EQ(run.AllReports(), k.reports) << k.what;
  EXPECT_EQ(out, "a;" + E + E) << k.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, IncludeStops,
                         ::testing::Values(StopCase{"missing file", "#include \"missing.h\"", 1},
                                           StopCase{"no quote", "#include missing.h", 2},
                                           StopCase{"angle brackets", "#include <missing.h>", 2},
                                           StopCase{"empty name", "#include \"\"", 1},
                                           StopCase{"a directory", "#include \"sub\"", 1}),
                         [](const auto& info) { return CaseName(info.param.what); });

TEST(Include, OverlongNameIsReportedAndTheRunGoesOn) {
  Pass1 run;
  std::string name(40, 'n');
  std::string out = run.Run("#include \"" + name + "\"\na;\n");
  EXPECT_FALSE(run.c().run.stopped);
  EXPECT_EQ(run.Reports("Include file name too long"), 1);
  EXPECT_NE(run.Errors().find("too long;" + name + "; Fatal"), std::string::npos);
  EXPECT_NE(out.find("a;"), std::string::npos);
}

TEST(Include, NameOfThirtyNineCharactersIsOpened) {
  Pass1 run;
  std::string name(39, 'n');
  run.File(name, "inside;\n");
  std::string out = run.Run("#include \"" + name + "\"\n", true);
  EXPECT_EQ(out, E + "inside;" + E + E);
}

TEST(Include, NestingBeyondTheStackIsReportedAndTheRunGoesOn) {
  Pass1 run;
  run.File("self.h", "s;\n#include \"self.h\"\ne;\n");
  std::string out = run.Run("#include \"self.h\"\nlast;\n", true);
  EXPECT_FALSE(run.c().run.stopped);
  EXPECT_EQ(run.Reports("Include nesting too deep"), 1);
  EXPECT_EQ(Pass1::Count(out, "s;"), 19);
  EXPECT_EQ(Pass1::Count(out, "LINE:3:self.h" + E + "e;"), 19);
  EXPECT_NE(out.find("LINE:2:prog.c" + E + "last;"), std::string::npos);
}

}  // namespace
}  // namespace stackcc::testing
