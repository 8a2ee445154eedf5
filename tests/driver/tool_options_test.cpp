// The tool options in gcc's spelling: each is taken with its value, a value is
// never read as an option of its own, and the language's c and d work as before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/compiler.h"
#include "driver/command_options.h"
#include "driver/dependencies.h"
#include "io/run_state.h"
#include "test_support.h"

namespace stackcc {
namespace {

struct OptionCase {
  std::vector<const char*> args;  // after the source
  int markers;
  std::vector<std::string> includeDirs;
  bool deps;
  std::string depFile;
  std::vector<std::string> depTargets;
  std::vector<std::string> warningsOn;
  std::size_t refused;
};

TEST(ToolOptions, EachOptionTakesItsValue) {
  const OptionCase cases[] = {
      {{"-MF", "/dev/null"}, 0, {}, false, "/dev/null", {}, {}, 0},
      {{"-MD", "-MF", "/d", "-d"}, 1, {}, true, "/d", {}, {}, 0},
      {{"-MFout.d", "-MTall", "-MT", "x y"}, 0, {}, false, "out.d", {"all", "x y"}, {}, 0},
      {{"-I", "/dev", "-Iinc", "-I", "-d"}, 0, {"/dev", "inc", "-d"}, false, "", {}, {}, 0},
      {{"-Wall", "-Wno-recursion"}, 0, {}, false, "", {}, {"short-circuit", "unused"}, 0},
      {{"-Wunused", "-Wbogus", "-Wno-bogus"}, 0, {}, false, "", {}, {"unused"}, 1},
      {{"-MF"}, 0, {}, false, "", {}, {}, 1},
      {{"/D", "-c", "-MP", "-Werror"}, 1, {}, false, "", {}, {}, 0},
  };
  for (const OptionCase& k : cases) {
    testing::TestCompiler t;
    std::vector<const char*> argv = {"stackcc", "prog.c"};
    argv.insert(argv.end(), k.args.begin(), k.args.end());
    OptionIssues issues = ApplyOptions(t.c(), static_cast<int>(argv.size()), argv.data());
    const ToolOptions& o = t->run.tools;
    std::string label = k.args.empty() ? "" : k.args[0];
    EXPECT_EQ(t->run.lineMarkerFlag, k.markers) << label;
    EXPECT_EQ(o.includeDirs, k.includeDirs) << label;
    EXPECT_EQ(o.dependencies.write, k.deps) << label;
    EXPECT_EQ(o.dependencies.file, k.depFile) << label;
    EXPECT_EQ(o.dependencies.targets, k.depTargets) << label;
    for (const std::string& name : k.warningsOn) EXPECT_TRUE(WarningOn(o, WarningNamed(name))) << name;
    EXPECT_EQ(issues.refused.size(), k.refused) << label;
  }
}

TEST(ToolOptions, WarningSwitchesApplyLeftToRight) {
  testing::TestCompiler t;
  const char* argv[] = {"stackcc", "prog.c", "-Wno-unused", "-Wall", "-Wno-recursion", "-Werror"};
  ApplyOptions(t.c(), 6, argv);
  const ToolOptions& o = t->run.tools;
  EXPECT_TRUE(WarningOn(o, Warning::kUnused));
  EXPECT_FALSE(WarningOn(o, Warning::kRecursion));
  EXPECT_TRUE(o.warningsAreErrors);
  for (int w = 0; w < static_cast<int>(Warning::kCount); ++w) {
    EXPECT_EQ(WarningNamed(WarningName(static_cast<Warning>(w))), static_cast<Warning>(w));
  }
}

TEST(Dependencies, RuleEscapesNamesAndListsEachOnce) {
  struct Case {
    std::vector<std::string> targets, prerequisites;
    bool phony;
    std::string rule;
  } cases[] = {
      {{"p.001"}, {"p.c"}, false, "p.001: p.c\n"},
      {{"a", "b"}, {"p.c", "Sys10.c", "inc.h", "Sys10.c"}, false, "a b: p.c \\\n Sys10.c \\\n inc.h\n"},
      {{"t"}, {"my dir/p.c", "a$b#.h"}, true, "t: my\\ dir/p.c \\\n a$$b\\#.h\n\na$$b\\#.h:\n"},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(DependencyRule(k.targets, k.prerequisites, k.phony), k.rule);
  }
}

}  // namespace
}  // namespace stackcc
