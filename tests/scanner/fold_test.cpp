#include "scanner/fold.h"

#include <gtest/gtest.h>

#include "case_name.h"

namespace stackcc {
namespace {

struct FoldCase {
  const char* input;
  const char* expected;
};

class FoldTest : public ::testing::TestWithParam<FoldCase> {};

TEST_P(FoldTest, FoldsLiteralArithmetic) {
  FixedText<32> text(GetParam().input);
  FoldConstants(text);
  EXPECT_EQ(text.view(), GetParam().expected);
}

const FoldCase kFoldCases[] = {
    {"[2*3*4]", "[24]"},
    {"[10-2-3]", "[5]"},
    {"[2+3*4]", "[14]"},
    {"[8/2*2]", "[2]"},
    {"[N*2]", "[N*2]"},
    {"[0+5]", "[0+5]"},
    {"[4][2*3]", "[4][6]"},
    {"[4-3*2]", "[4-3*2]"},
    {"[\"a\"*2]", "[\"a\"*2]"},
    {"[ 2 * 8 ]", "[ 16 ]"},
    {"[-5+3]", "[-2]"},
    {"[7/2]", "[3]"},
    {"[-7/2]", "[-3]"},
    {"[2*x1]", "[2*x1]"},
    {"[L:2*3]", "[L:2*3]"},
    {"[2*3_]", "[2*3_]"},
    {"[9*9][2*0]", "[81][2*0]"},
    {"[99999999999999999999*2]", "[99999999999999999999*2]"},
    {"[]", "[]"},
};

INSTANTIATE_TEST_SUITE_P(Brackets, FoldTest, ::testing::ValuesIn(kFoldCases), [](const auto& info) {
  return stackcc::testing::CaseName(info.param.input, info.index);
});

}  // namespace
}  // namespace stackcc
