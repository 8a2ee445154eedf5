// The rules that make a program C for --compare-gcc: what cannot be built,
// which declarations become static, which globals are compared.
#include "vm/c_build.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace stackvm {
namespace {

struct StaticCase {
  const char* name;
  std::string source;
  std::string c;
};

class StaticLocals : public ::testing::TestWithParam<StaticCase> {};

TEST_P(StaticLocals, OnlyDeclarationsInsideFunctions) {
  EXPECT_EQ(staticLocals(GetParam().source), GetParam().c);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, StaticLocals,
    ::testing::Values(
        StaticCase{"global_stays", "int x;\nvoid f() {\n}\n", "int x;\nvoid f() {\n}\n"},
        StaticCase{"local_becomes_static", "void f() {\n  int i;\n  char *p;\n}\n",
                   "void f() {\n  static int i;\n  static char *p;\n}\n"},
        StaticCase{"nested_block", "void f() {\n  if (a) {\n    long v = 1;\n  }\n}\n",
                   "void f() {\n  if (a) {\n    static long v = 1;\n  }\n}\n"},
        StaticCase{"names_that_begin_like_types", "void f() {\n  interval = 1;\n  count = 2;\n}\n",
                   "void f() {\n  interval = 1;\n  count = 2;\n}\n"},
        StaticCase{"casts_and_uses_stay", "void f() {\n  x = (int) y;\n  g(int_value);\n}\n",
                   "void f() {\n  x = (int) y;\n  g(int_value);\n}\n"},
        StaticCase{"structure_members_stay",
                   "struct pair {\n  int a;\n  char b;\n};\nvoid f() {\n  struct pair {\n"
                   "    int c;\n  } p;\n  int i;\n}\n",
                   "struct pair {\n  int a;\n  char b;\n};\nvoid f() {\n  struct pair {\n"
                   "    int c;\n  } p;\n  static int i;\n}\n"},
        StaticCase{"initialisers_and_functions_returning_structures",
                   "int t[2] = {1, 2};\nstruct pair f(int x) {\n  int k = {3};\n}\n",
                   "int t[2] = {1, 2};\nstruct pair f(int x) {\n  static int k = {3};\n}\n"},
        StaticCase{"comments_and_strings", "void f() {\n  /* { */ print_string(\"{ int\");\n}\n",
                   "void f() {\n  /* { */ print_string(\"{ int\");\n}\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ObstacleCase {
  const char* name;
  std::string source;
  std::string said;
};

class Obstacles : public ::testing::TestWithParam<ObstacleCase> {};

TEST_P(Obstacles, NamedWithTheirLine) {
  EXPECT_EQ(cObstacle(GetParam().source), GetParam().said);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Obstacles,
    ::testing::Values(ObstacleCase{"plain_c", "int x;\nvoid main() {\n}\n", ""},
                      ObstacleCase{"asm_line", "void main() {\n  ASM nop\n}\n",
                                   "line 2 is an ASM line"},
                      ObstacleCase{"asm_in_a_comment", "// ASM nop\n/* ASM\n*/\n", ""},
                      ObstacleCase{"own_directive", "#define A 1\n#IFNOT A\n#ENDIF\n",
                                   "line 2 holds the language's own directive #IFNOT"},
                      ObstacleCase{"lower_case_directive_is_c", "#ifdef A\n#endif\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScalarGlobals, TopLevelScalarsWithTheirWidths) {
  Program program;
  for (const char* name : {"a", "b", "c", "d", "table"}) program.dataLabels[name] = 0x1000;
  const std::string source =
      "int a;\npublic char b = 3;\nfixed long c;\nint table[4];\nvoid f() {\n  int d;\n}\n";
  std::vector<Global> globals = scalarGlobals(source, program);
  ASSERT_EQ(globals.size(), 3u);
  EXPECT_EQ(globals[0].name, "a");
  EXPECT_EQ(globals[0].width, 4u);
  EXPECT_EQ(globals[1].name, "b");
  EXPECT_EQ(globals[1].width, 1u);
  EXPECT_EQ(globals[2].name, "c");
  EXPECT_EQ(globals[2].width, 8u);
}

TEST(MainReturnsValue, FromItsDeclaration) {
  EXPECT_FALSE(mainReturnsValue("void main() {\n}\n"));
  EXPECT_TRUE(mainReturnsValue("int main() {\n  return 3;\n}\n"));
}

// The C built-ins linked by --compare-gcc are the file installed beside
// stackvm.h, byte for byte.
TEST(CBuiltins, AreTheShippedFile) {
  std::ifstream in(STACKVM_C_BUILTINS, std::ios::binary);
  ASSERT_TRUE(in) << STACKVM_C_BUILTINS;
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(cBuiltins(), text.str());
}

}  // namespace
}  // namespace stackvm
