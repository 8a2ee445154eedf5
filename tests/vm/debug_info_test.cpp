// The .dbg reader on hand-written files, and what the labels tell without one.
#include "vm/debug_info.h"

#include <gtest/gtest.h>

#include <sstream>

#include "vm/errors.h"
#include "vm/loader.h"
#include "vm_harness.h"

namespace stackvm::testing {
namespace {

std::string dbg(const std::vector<std::string>& records) {
  std::string text = "stackcc-dbg 1\r\n";
  for (const std::string& r : records) text += r + "\r\n";
  return text;
}

TEST(DebugInfo, ReadsEveryRecord) {
  DebugInfo info = parseDebugInfo(
      dbg({"structure\tnode\t8", "member\tnode\tv\t0\tint\t-\t4",
           "member\tnode\tnext\t4\tstruct node*\t-\t4", "global\tgrid\tgrid\tlong\t3,4\t96", "",
           "# a comment", "function\tsum\tsum\tmy dir/p.c\t4\t9\tchar*",
           "parameter\tsum\tn\tn_func_sum\tint\t-\t4", "parameter\tsum\tp\tp_func_sum\tvoid*\t-\t4",
           "local\tsum\tn2\tn2_func_sum\tstruct node\t2\t16"}),
      "p.dbg");
  EXPECT_TRUE(info.typed);
  ASSERT_EQ(info.structures.size(), 1u);
  ASSERT_EQ(info.structures[0].members.size(), 2u);
  EXPECT_EQ(info.structures[0].members[1].type.text(), "struct node *");
  const FunctionInfo* sum = info.function("sum");
  ASSERT_NE(sum, nullptr);
  EXPECT_EQ(sum->file, "my dir/p.c");
  EXPECT_EQ(sum->result.text(), "char *");
  EXPECT_EQ(sum->params, (std::vector<std::string>{"n", "p"}));
  const VariableInfo* grid = info.variable("grid", "sum");
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->type.dims, (std::vector<uint32_t>{3, 4}));
  EXPECT_EQ(info.sizeOf(grid->type), 96u);
  EXPECT_EQ(info.sizeOf(grid->type.element()), 32u);
  const VariableInfo* n2 = info.variable("n2", "sum");
  ASSERT_NE(n2, nullptr);
  EXPECT_EQ(info.sizeOf(n2->type), 16u);
  EXPECT_EQ(info.variable("n2", "main"), nullptr);  // a local is not seen from elsewhere
  EXPECT_TRUE(info.variable("n", "sum")->parameter);
}

struct BadCase {
  const char* name;
  std::string text;
  const char* message;
};

class MalformedDebugInfo : public ::testing::TestWithParam<BadCase> {};

TEST_P(MalformedDebugInfo, NamesTheLine) {
  try {
    parseDebugInfo(GetParam().text, "p.dbg");
    FAIL() << "no error";
  } catch (const LoadError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Records, MalformedDebugInfo,
    ::testing::Values(
        BadCase{"empty", "", "p.dbg:0: empty file: no version line"},
        BadCase{"no_version", "function\tf\tf\tp.c\t1\t2\tint\n",
                "p.dbg:1: the first line is not 'stackcc-dbg <version>'"},
        BadCase{"later_version", "stackcc-dbg 2\n", "p.dbg:1: version 2 is not known (1 is)"},
        BadCase{"unknown_record", dbg({"variable\tx"}), "p.dbg:2: unknown record 'variable'"},
        BadCase{"too_few_fields", dbg({"global\tx\tx\tint\t-"}),
                "p.dbg:2: global takes 5 fields, separated by tabs"},
        BadCase{"blanks_for_tabs", dbg({"global x x int - 4"}),
                "p.dbg:2: unknown record 'global x x int - 4'"},
        BadCase{"unknown_type", dbg({"global\tx\tx\tshort\t-\t2"}),
                "p.dbg:2: unknown type 'short'"},
        BadCase{"void_variable", dbg({"global\tx\tx\tvoid\t-\t0"}), "p.dbg:2: unknown type 'void'"},
        BadCase{"bad_size", dbg({"global\tx\tx\tint\t-\t-4"}), "p.dbg:2: malformed size '-4'"},
        BadCase{"huge_size", dbg({"global\tx\tx\tint\t-\t99999999999999999999"}),
                "p.dbg:2: malformed size '99999999999999999999'"},
        BadCase{"bad_dims", dbg({"global\tx\tx\tint\t3,,4\t48"}),
                "p.dbg:2: malformed dimension ''"},
        BadCase{"empty_name", dbg({"global\t\tx\tint\t-\t4"}), "p.dbg:2: empty name"},
        BadCase{"twice", dbg({"global\tx\tx\tint\t-\t4", "global\tx\ty\tint\t-\t4"}),
                "p.dbg:3: global x is described twice"},
        BadCase{"local_before_function", dbg({"local\tf\tx\tx_func_f\tint\t-\t4"}),
                "p.dbg:2: function f is not described before"},
        BadCase{"lines_backwards", dbg({"function\tf\tf\tp.c\t9\t2\tint"}),
                "p.dbg:2: the last line is before the first"},
        BadCase{"member_past_end", dbg({"structure\ts\t4", "member\ts\tm\t2\tint\t-\t4"}),
                "p.dbg:3: member m reaches past the end of structure s"},
        BadCase{"undescribed_tag", dbg({"global\tp\tp\tstruct q*\t-\t4"}),
                "p.dbg:2: structure q is not described"}),
    [](const ::testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST(DebugInfo, FromLabelsGivesSizesAndScopes) {
  CodeFiles files;
  files.base = "t";
  files.texts[0] = mainWith({});
  files.texts[0] += lines({"my_func_:", "end_function_func_my_func_:", "return"});
  files.texts[2] = lines({"INI_BLOCK_003:", "count:", "dd 1", "text:", "db 1", "db 0 DUP 9 "});
  files.texts[3] = lines({"INI_BLOCK_004:", "x_func_main:", "dd 0", "PTR_AUX_NUMBER_1:", "db 0",
                          "y_func_my_func_:", "db 0 DUP 8 "});
  std::ostringstream warnings;
  Program program = loadProgram(files, {}, warnings);
  DebugInfo info = debugInfoFromLabels(program);
  EXPECT_FALSE(info.typed);
  ASSERT_EQ(info.variables.size(), 4u);
  EXPECT_EQ(info.variable("count", "")->size, 4u);
  EXPECT_EQ(info.variable("text", "")->size, 10u);
  EXPECT_EQ(info.variable("x", "main")->size, 4u);  // up to the string data's label
  EXPECT_EQ(info.variable("x", "main")->label, "x_func_main");
  EXPECT_EQ(info.variable("y", "my_func_")->size, 8u);
  EXPECT_EQ(info.variable("x", ""), nullptr);
  ASSERT_NE(info.function("my_func_"), nullptr);
}

}  // namespace
}  // namespace stackvm::testing
