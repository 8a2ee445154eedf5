#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/compiler.h"
#include "io/paths.h"
#include "driver/driver.h"
#include "case_name.h"
#include "test_support.h"

namespace stackcc {
namespace {

struct NamingCase {
  std::vector<const char*> args;
  const char* base;
  const char* headerBase;
  const char* suffix;
  int markers;
  const char* sourceDir;
};

class NamingTest : public ::testing::TestWithParam<NamingCase> {};

TEST_P(NamingTest, DerivesNamesAndOptions) {
  const NamingCase& tc = GetParam();
  testing::TestCompiler t;
  std::vector<const char*> argv = {"stackcc"};
  argv.insert(argv.end(), tc.args.begin(), tc.args.end());
  CommandLineIssues issues = ParseCommandLine(t.c(), static_cast<int>(argv.size()), argv.data());
  EXPECT_EQ(t->driver.base.view(), tc.base);
  EXPECT_EQ(t->driver.headerBase.view(), tc.headerBase);
  EXPECT_EQ(t->driver.sourceName.view(), std::string(tc.base) + ".c");
  EXPECT_EQ(t->run.targetSuffix.view(), tc.suffix);
  EXPECT_EQ(t->run.lineMarkerFlag, tc.markers);
  EXPECT_EQ(t->run.sourceDir, tc.sourceDir);
  EXPECT_FALSE(issues.fileName);
  EXPECT_FALSE(issues.suffix);
}

const NamingCase kNamingCases[] = {
    {{"prog.c"}, "prog", "prog", "", 0, ""},
    {{"prog"}, "prog", "prog", "", 0, ""},
    {{"prog.txt"}, "prog", "prog", "", 0, ""},
    {{"C:\\work\\rel.2\\prog.c"},
     "C:\\work\\rel.2\\prog",
     "C:\\work\\rel.2\\prog",
     "",
     0,
     "C:/work/rel.2/"},
    {{"../x/prog.c", "-d"}, "../x/prog", "../x/prog", "", 1, "../x/"},
    {{"./prog.c", "/D"}, "./prog", "./prog", "", 1, "./"},
    {{"C:\\src\\Tours.c", "-cX"}, "C:\\src\\Tours", "C:\\src\\Tours", "O", 0, "C:/src/"},
    {{"C:\\src\\OUR.c"}, "C:\\src\\OUR", "C:\\src\\OUR", "", 0, "C:/src/"},
    {{"ctl/Our90.c"}, "ctl/Our90", "ctl/sys90", "", 0, "ctl/"},
    {{"ctl/xOUR90"}, "ctl/xOUR90", "ctl/xsys90", "", 0, "ctl/"},
    {{"prog.c", "-cabc", "-C"}, "prog", "prog", "", 0, ""},
    {{"prog.c", "-cA", "/cB"}, "prog", "prog", "B", 0, ""},
    {{"prog.c", "-x", "d", "-", "/"}, "prog", "prog", "", 0, ""},
};

INSTANTIATE_TEST_SUITE_P(CommandLine, NamingTest, ::testing::ValuesIn(kNamingCases),
                         [](const auto& info) {
                           std::string line;
                           for (const char* arg : info.param.args) line += std::string(" ") + arg;
                           return stackcc::testing::CaseName(line, info.index);
                         });

TEST(CommandLine, OverlongSuffixAndNameAreNoticed) {
  testing::TestCompiler t;
  std::string suffix = "-c" + std::string(30, 's');
  std::string name(300, 'n');
  const char* argv[] = {"stackcc", name.c_str(), suffix.c_str()};
  CommandLineIssues issues = ParseCommandLine(t.c(), 3, argv);
  EXPECT_TRUE(issues.fileName);
  EXPECT_TRUE(issues.suffix);
  EXPECT_EQ(t->run.targetSuffix.size(), 23u);
  EXPECT_LE(t->driver.base.size() + 4, 255u);
}

TEST(Paths, RelativeNamesLiveBesideTheSource) {
  testing::TestCompiler t;
  const char* argv[] = {"stackcc", "sub\\prog.c"};
  ParseCommandLine(t.c(), 2, argv);
  EXPECT_EQ(PathOfDerived(t->driver.sourceName.view()), "sub/prog.c");
  EXPECT_EQ(PathBesideSource(t.c(), "Sys10.c"), "sub/Sys10.c");
  EXPECT_EQ(PathBesideSource(t.c(), "inc\\a.h"), "sub/inc/a.h");
  EXPECT_EQ(PathBesideSource(t.c(), "/abs/a.h"), "/abs/a.h");
}

}  // namespace
}  // namespace stackcc
