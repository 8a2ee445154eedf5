// The expression warnings: each fires on the construct it names and stays
// silent on look-alikes, and none writes anything while it is switched off.
#include <gtest/gtest.h>

#include "decl/number_range.h"
#include "expr_test_util.h"
#include "io/run_state.h"

namespace stackcc::testing {
namespace {

struct WarningCase {
  Warning warning;
  const char* statement;
  int count;  // warnings the statement gives with its warning on
};

class ExprWarningTest : public ExprTest, public ::testing::WithParamInterface<WarningCase> {
 protected:
  void SetUp() override {
    Int("i");
    Int("n");
    Int("j");
    Char("c1");
    Char("c2");
    Long("l");
    Pointer("p", 4);
    Array("a", 4, "[10]");
    Function("f", 4, -1);
  }
  int WarningsOf(std::string_view statement) {
    int before = c().diag.warningCount;
    Compile(statement);
    return c().diag.warningCount - before;
  }
};

TEST_P(ExprWarningTest, FiresOnlyOnItsConstruct) {
  const WarningCase& w = GetParam();
  EXPECT_EQ(WarningsOf(w.statement), 0) << "switched off";
  std::string code = Compile(w.statement);
  c().run.tools.warnings.set(static_cast<std::size_t>(w.warning));
  EXPECT_EQ(WarningsOf(w.statement), w.count) << w.statement;
  EXPECT_EQ(Compile(w.statement), code) << "the warning changes no code";
  EXPECT_EQ(ReportCount(), 0) << Console();
}

INSTANTIATE_TEST_SUITE_P(Cases, ExprWarningTest,
                         ::testing::Values(
                             // Both sides of && and || are evaluated.
                             WarningCase{Warning::kShortCircuit, "j = p != 0 && *p", 1},
                             WarningCase{Warning::kShortCircuit, "j = i < n && a[i]", 1},
                             WarningCase{Warning::kShortCircuit, "j = !p || *(p + 1) == 0", 1},
                             WarningCase{Warning::kShortCircuit, "j = n > 0 && f(1)", 1},
                             WarningCase{Warning::kShortCircuit, "j = n > 0 || (i = 2)", 1},
                             WarningCase{Warning::kShortCircuit, "j = n > 0 && i++", 1},
                             WarningCase{Warning::kShortCircuit, "j = i < n && j < n", 0},
                             WarningCase{Warning::kShortCircuit, "j = a[0] == 1 && a[1] == 2", 0},
                             WarningCase{Warning::kShortCircuit, "j = f(i) > 0 && a[i & 7]", 0},
                             WarningCase{Warning::kShortCircuit, "j = f(1) && n > 0", 0},
                             WarningCase{Warning::kShortCircuit, "j = i < n && a[sizeof(i)]", 0},
                             // One-byte arithmetic widened afterwards.
                             WarningCase{Warning::kCharArithmetic, "i = c1 + c2", 1},
                             WarningCase{Warning::kCharArithmetic, "l = (c1 * c2)", 1},
                             WarningCase{Warning::kCharArithmetic, "j = c1 - c2 < 100", 1},
                             WarningCase{Warning::kCharArithmetic, "i = (int) (c1 + c2)", 1},
                             WarningCase{Warning::kCharArithmetic, "c1 = c1 + c2", 0},
                             WarningCase{Warning::kCharArithmetic, "i = (int) c1 + c2", 0},
                             WarningCase{Warning::kCharArithmetic, "i = c1 & c2", 0},
                             WarningCase{Warning::kCharArithmetic, "i = c1 + i", 0},
                             WarningCase{Warning::kCharArithmetic, "j = c1 + c2 == c1", 0},
                             // Arguments run last to first.
                             WarningCase{Warning::kArgumentOrder, "f(f(1), f(2))", 1},
                             WarningCase{Warning::kArgumentOrder, "f(i++, j = 1, 3)", 1},
                             WarningCase{Warning::kArgumentOrder, "f(f(1), i)", 0},
                             WarningCase{Warning::kArgumentOrder, "f(a[i], i + 1)", 0},
                             WarningCase{Warning::kArgumentOrder, "f(i++)", 0},
                             // The target of a rewritten operator is compiled twice.
                             WarningCase{Warning::kTargetTwice, "a[f(1)] += 1", 1},
                             WarningCase{Warning::kTargetTwice, "a[i++]--", 1},
                             WarningCase{Warning::kTargetTwice, "*(p + f(2)) *= 3", 1},
                             WarningCase{Warning::kTargetTwice, "a[i] += f(1)", 0},
                             WarningCase{Warning::kTargetTwice, "a[i + 1]++", 0},
                             // x++ inside a larger expression.
                             WarningCase{Warning::kIncrementValue, "j = i++", 1},
                             WarningCase{Warning::kIncrementValue, "a[i++] = 0", 1},
                             WarningCase{Warning::kIncrementValue, "f(j--)", 1},
                             WarningCase{Warning::kIncrementValue, "j = (i++) + 1", 1},
                             WarningCase{Warning::kIncrementValue, "i++", 0},
                             WarningCase{Warning::kIncrementValue, "(i++)", 0},
                             WarningCase{Warning::kIncrementValue, "i++, j--", 0},
                             // Numbers in code beyond four bytes.
                             WarningCase{Warning::kNumberRange, "i = 3037000500", 1},
                             WarningCase{Warning::kNumberRange, "l = l & 4294967295", 1},
                             WarningCase{Warning::kNumberRange, "i = -2147483649", 1},
                             WarningCase{Warning::kNumberRange, "i = 99999999999999999999", 1},
                             WarningCase{Warning::kNumberRange, "i = 2147483647", 0},
                             WarningCase{Warning::kNumberRange, "i = -2147483648", 0},
                             WarningCase{Warning::kNumberRange, "i = 0xFFFFFFFF", 0},
                             WarningCase{Warning::kNumberRange, "l += 4294967296", 1}));

// The widths an initialiser's number may have, signed or unsigned, and a
// number in code, which is signed.
TEST(DecimalFitsTest, Boundaries) {
  struct Row {
    const char* digits;
    bool negative;
    int bytes;
    bool unsignedToo;
    bool fits;
  };
  const Row rows[] = {
      {"255", false, 1, true, true},
      {"256", false, 1, true, false},
      {"128", true, 1, true, true},
      {"129", true, 1, true, false},
      {"4294967295", false, 4, true, true},
      {"4294967295", false, 4, false, false},
      {"2147483647", false, 4, false, true},
      {"2147483648", true, 4, false, true},
      {"2147483649", true, 4, false, false},
      {"0004294967296", false, 4, true, false},
      {"18446744073709551615", false, 8, true, true},
      {"18446744073709551616", false, 8, true, false},
      {"9223372036854775808", true, 8, true, true},
      {"9223372036854775809", true, 8, true, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(DecimalFits(r.digits, r.negative, r.bytes, r.unsignedToo), r.fits)
        << (r.negative ? "-" : "") << r.digits << " in " << r.bytes;
  }
}

}  // namespace
}  // namespace stackcc::testing
