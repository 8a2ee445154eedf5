// The debug information of -g: the type texts, the option, and the records a
// whole run writes for programs with structures, arrays, pointers, parameters
// and locals, several files and faulty definitions.
#include "driver/debug_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/compiler.h"
#include "decl/records.h"
#include "driver/command_options.h"
#include "io/run_state.h"
#include "test_support.h"
#include "whole_run.h"

namespace stackcc {
namespace {

using testing::Inputs;
using testing::RunIn;
using testing::RunOutcome;

TEST(DebugInfo, TypeTexts) {
  struct Case {
    std::string_view tag;
    int elementSize;
    bool pointer;
    std::string text;
  } cases[] = {
      {"", 1, false, "char"},
      {"", 4, false, "int"},
      {"", 8, false, "long"},
      {"", 1, true, "char*"},
      {"", 8, true, "long*"},
      {"point", 5, false, "struct point"},
      {"node", 0, true, "struct node*"},    // a pointer to a structure not yet complete
      {"point", 8, false, "struct point"},  // a tag wins over a size that names a scalar
  };
  for (const Case& k : cases) {
    EXPECT_EQ(DebugTypeText(k.tag, k.elementSize, k.pointer), k.text) << k.text;
  }
}

TEST(DebugInfo, DimensionTextsAndFields) {
  struct Case {
    std::vector<int> values;  // the count, then the dimensions
    std::string text;
  } cases[] = {
      {{0}, "-"},
      {{1, 4}, "4"},
      {{2, 3, 4}, "3,4"},
      {{1, 0}, "0"},
      {{7, 1, 2, 3, 4, 5, 6, 7}, "1,2,3,4,5,6,7"},
  };
  for (const Case& k : cases) {
    DimensionRecord r;
    for (std::size_t i = 0; i < k.values.size(); ++i) r.values[i] = k.values[i];
    EXPECT_EQ(DebugDimensionsText(r), k.text);
  }
  EXPECT_EQ(DebugField("my\tprog\r\n.c"), "my prog  .c");
  EXPECT_EQ(DebugField("caf\xc3\xa9.c"), "caf\xc3\xa9.c");  // other bytes stay as they are
}

TEST(DebugInfo, OptionImpliesMarkers) {
  struct Case {
    std::vector<const char*> args;
    bool debugInfo;
    int markers;
  } cases[] = {
      {{"-g"}, true, 1},  {{"-d", "-g"}, true, 1}, {{"-g", "-cx"}, true, 1}, {{"/g"}, false, 0},
      {{"-G"}, false, 0}, {{"-gdwarf"}, false, 0}, {{"-d"}, false, 1},
  };
  for (const Case& k : cases) {
    testing::TestCompiler t;
    std::vector<const char*> argv = {"stackcc", "prog.c"};
    argv.insert(argv.end(), k.args.begin(), k.args.end());
    OptionIssues issues = ApplyOptions(t.c(), static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(t->run.tools.debugInfo, k.debugInfo) << k.args[0];
    EXPECT_EQ(t->run.lineMarkerFlag, k.markers) << k.args[0];
    EXPECT_TRUE(issues.refused.empty()) << k.args[0];
  }
  testing::TestCompiler t;
  const char* argv[] = {"stackcc", "prog.c", "-g", "-cab"};
  ApplyOptions(t.c(), 4, argv);
  EXPECT_EQ(t->run.targetSuffix.view(), "ab");
}

// The file for the records given, a version line first, CR LF line ends.
std::string Dbg(const std::vector<std::string>& records) {
  std::string text = "stackcc-dbg 1\r\n";
  for (const std::string& r : records) text += r + "\r\n";
  return text;
}

struct ProgramCase {
  std::string label;
  Inputs inputs;  // prog.c and Sys10.c (empty unless given)
  std::vector<std::string> records;
};

// \t between the fields of a record.
const ProgramCase kPrograms[] = {
    {"packed_structures",
     {{"prog.c",
       "struct point { int x; char c; };\n"
       "struct shape { struct point at; char *name; int v[3]; struct shape *next; long w; };\n"
       "struct shape s;\n"
       "struct point corners[2][3];\n"}},
     {"structure\tpoint\t5", "member\tpoint\tx\t0\tint\t-\t4", "member\tpoint\tc\t4\tchar\t-\t1",
      "structure\tshape\t33", "member\tshape\tat\t0\tstruct point\t-\t5",
      "member\tshape\tname\t5\tchar*\t-\t4", "member\tshape\tv\t9\tint\t3\t12",
      "member\tshape\tnext\t21\tstruct shape*\t-\t4", "member\tshape\tw\t25\tlong\t-\t8",
      "global\ts\ts\tstruct shape\t-\t33", "global\tcorners\tcorners\tstruct point\t2,3\t30"}},
    {"functions_parameters_locals",
     {{"prog.c",
       "int total;\n"
       "int add(int a, char *b) {\n"
       "  int r;\n"
       "  r = a;\n"
       "  return r;\n"
       "}\n"
       "void main()\n"
       "{\n"
       "  long w[2][3];\n"
       "  char *names[4];\n"
       "  total = add(1, 0);\n"
       "}\n"}},
     {"global\ttotal\ttotal\tint\t-\t4", "function\tadd\tadd\tprog.c\t2\t6\tint",
      "parameter\tadd\ta\ta_func_add\tint\t-\t4", "parameter\tadd\tb\tb_func_add\tchar*\t-\t4",
      "local\tadd\tr\tr_func_add\tint\t-\t4", "function\tmain\tmain\tprog.c\t7\t12\tvoid",
      "local\tmain\tw\tw_func_main\tlong\t2,3\t48",
      "local\tmain\tnames\tnames_func_main\tchar*\t4\t16"}},
    {"scopes_and_what_is_no_variable",
     {{"prog.c",
       "int f(int x, int y);\n"
       "int print(int v);\n"
       "int x;\n"
       "int f(int y, int x) { return y; }\n"
       "void main() { int x; char *s; s = \"hi\"; x = f(1, 2); g(3); }\n"}},
     {"global\tx\tx\tint\t-\t4", "function\tf\tf\tprog.c\t4\t4\tint",
      "parameter\tf\ty\ty_func_f\tint\t-\t4", "parameter\tf\tx\tx_func_f\tint\t-\t4",
      "function\tmain\tmain\tprog.c\t5\t5\tvoid", "local\tmain\tx\tx_func_main\tint\t-\t4",
      "local\tmain\ts\ts_func_main\tchar*\t-\t4"}},
    {"structure_twice_and_undefined_tag",
     {{"prog.c",
       "struct p { int a; char b; };\n"
       "struct p { int a; char b; };\n"
       "struct q *link;\n"
       "struct p one;\n"}},
     {"structure\tp\t10", "member\tp\ta\t0\tint\t-\t4", "member\tp\tb\t4\tchar\t-\t1",
      "global\tlink\tlink\tstruct q*\t-\t4", "global\tone\tone\tstruct p\t-\t10",
      "structure\tq\t0"}},
    {"files_and_returned_structures",
     {{"prog.c",
       "#include \"parts.h\"\n"
       "struct pair make(int k) {\n"
       "  struct pair p;\n"
       "  return p;\n"
       "}\n"},
      {"parts.h", "struct pair { int a; int b; };\n\nint twice(int n)\n{\n  return n + n;\n}\n"},
      {"Sys10.c", "int one() { return 1; }\n"}},
     {"structure\tpair\t8", "member\tpair\ta\t0\tint\t-\t4", "member\tpair\tb\t4\tint\t-\t4",
      "function\tone\tone\tSys10.c\t1\t1\tint", "function\ttwice\ttwice\tparts.h\t3\t6\tint",
      "parameter\ttwice\tn\tn_func_twice\tint\t-\t4",
      "function\tmake\tmake\tprog.c\t2\t5\tstruct pair",
      "parameter\tmake\tk\tk_func_make\tint\t-\t4",
      "local\tmake\tp\tp_func_make\tstruct pair\t-\t8"}},
    {"function_defined_twice_and_unclosed",
     {{"prog.c",
       "int f() { int a; return 1; }\n"
       "int f() { int b; return 2; }\n"
       "void main() {\n"
       "  int c;\n"}},
     {"function\tf\tf\tprog.c\t1\t1\tint", "local\tf\ta\ta_func_f\tint\t-\t4",
      "local\tf\tb\tb_func_f\tint\t-\t4", "function\tmain\tmain\tprog.c\t3\t3\tvoid",
      "local\tmain\tc\tc_func_main\tint\t-\t4"}},
};

class ProgramRecords : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramRecords, AreWritten) {
  Inputs inputs = GetParam().inputs;
  inputs.try_emplace("Sys10.c", "");
  RunOutcome run = RunIn(inputs, {"prog.c", "-g"}, [](Compiler&) {});
  ASSERT_EQ(run.files.count("prog.dbg"), 1u) << run.console;
  EXPECT_EQ(run.files["prog.dbg"], Dbg(GetParam().records)) << run.files["prog.err"];
}

INSTANTIATE_TEST_SUITE_P(DebugInfo, ProgramRecords, ::testing::ValuesIn(kPrograms),
                         [](const auto& info) { return info.param.label; });

TEST(DebugInfo, OnlyWithTheOption) {
  Inputs inputs = {{"prog.c", "int x;\n"}, {"Sys10.c", ""}};
  for (const char* option : {"-d", "-Wall"}) {
    RunOutcome run = RunIn(inputs, {"prog.c", option}, [](Compiler&) {});
    EXPECT_EQ(run.files.count("prog.dbg"), 0u) << option;
  }
}

TEST(DebugInfo, IsATargetOfTheDependencyRule) {
  Inputs inputs = {{"prog.c", "int x;\n"}, {"Sys10.c", ""}};
  RunOutcome with = RunIn(inputs, {"prog.c", "-g", "-MD"}, [](Compiler&) {});
  EXPECT_NE(with.files["prog.d"].find("prog.dbg"), std::string::npos) << with.files["prog.d"];
  RunOutcome without = RunIn(inputs, {"prog.c", "-d", "-MD"}, [](Compiler&) {});
  EXPECT_EQ(without.files["prog.d"].find("prog.dbg"), std::string::npos);
}

TEST(DebugInfo, AFileThatCannotBeWrittenFailsTheRun) {
  // A folder stands where the file would go.
  Inputs inputs = {{"prog.c", "int x;\n"}, {"Sys10.c", ""}, {"prog.dbg/keep", "kept"}};
  RunOutcome run = RunIn(inputs, {"prog.c", "-g"}, [](Compiler&) {});
  EXPECT_EQ(run.status, -1);
  EXPECT_NE(run.console.find("Error writing file...prog.dbg"), std::string::npos) << run.console;
  EXPECT_EQ(run.console.find("Work done"), std::string::npos) << run.console;
  EXPECT_EQ(run.files["prog.dbg/keep"], "kept");
}

}  // namespace
}  // namespace stackcc
