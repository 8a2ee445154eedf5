// The shape of a statement: its numbers standing alone become stand-ins of
// their rank; everything else stays as written.
#include "expr/statement_shape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stackcc {
namespace {

struct ShapeCase {
  const char* text;
  const char* shape;  // nullptr: the statement has no shape
  std::vector<std::string> numbers;
};

TEST(StatementShape, NumbersStandingAloneBecomeStandIns) {
  const ShapeCase cases[] = {
      {"a = b", "a = b", {}},
      {"a = b + 12", "a = b + 90000000000", {"12"}},
      {"t[1][2] = -3", "t[90000000000][90000000001] = -90000000002", {"1", "2", "3"}},
      {"x1 = y2", "x1 = y2", {}},                  // digits inside names
      {"a = 0x1F + 5abc", "a = 0x1F + 5abc", {}},  // numbers written with letters
      {"a = b+1", "a = b+1", {}},                  // a '+' before a number keeps it
      {"a = b-1", "a = b-90000000000", {"1"}},
      {"a=007;", "a=90000000000;", {"007"}},
      {"a = 1234567890", "a = 90000000000", {"1234567890"}},
      {"a = 12345678901", nullptr, {}},  // as long as a stand-in
      {"a = 1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17",
       "a = 90000000000+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17",
       {"1"}},
  };
  for (const ShapeCase& k : cases) {
    StatementShape shape;
    ShapeText out;
    bool has = ShapeOf(k.text, shape, out);
    ASSERT_EQ(has, k.shape != nullptr) << k.text;
    if (!has) continue;
    EXPECT_EQ(out.view(), k.shape) << k.text;
    ASSERT_EQ(shape.count, static_cast<int>(k.numbers.size())) << k.text;
    for (int i = 0; i < shape.count; ++i)
      EXPECT_EQ(shape.NumberOf(k.text, i), k.numbers[i]) << k.text;
  }
}

// Stand-ins are long: a shape holds about ten numbers before it outgrows its
// text, and never more than kShapeNumbers.
TEST(StatementShape, ShapesThatDoNotFitAreNone) {
  std::string text = "a=1";
  for (int i = 2; i <= 10; ++i) {
    text += "*";
    text += std::to_string(i);
  }
  StatementShape shape;
  ShapeText out;
  EXPECT_TRUE(ShapeOf(text, shape, out));
  EXPECT_EQ(shape.count, 10);
  EXPECT_FALSE(ShapeOf(text + "*11", shape, out));
  static_assert(kShapeNumbers * kStandInLength > kShapeCapacity);
}

TEST(StatementShape, StandInsAreFoundAtLineEndsOnly) {
  std::string code = "push_parameter 90000000001\r\npush_parameter -90000000000\r\nadd 4\r\n";
  std::size_t first = code.find('\r');
  std::size_t second = code.find('\r', first + 1);
  EXPECT_EQ(StandInBefore(code, first, 2), 1);
  EXPECT_EQ(StandInBefore(code, second, 2), 0);
  EXPECT_EQ(StandInBefore(code, first, 1), -1);  // rank beyond the numbers
  EXPECT_EQ(StandInBefore(code, code.rfind('\r'), 2), -1);
}

}  // namespace
}  // namespace stackcc
