// Operator marking and the lexer's terms.
#include "case_name.h"
#include "expr_test_util.h"

namespace stackcc::testing {
namespace {

// The marked text with the marker byte shown as '#'.
std::string Marked(Compiler& c, std::string_view text) {
  ExprText work(text);
  EXPECT_TRUE(MarkOperators(c, work));
  std::string out(work.view());
  for (char& ch : out) {
    if (ch == kOperatorMarkerByte) ch = '#';
  }
  return out;
}

// The terms the lexer writes: operands as written, operators by name.
std::string Terms(Compiler& c, std::string_view text) {
  int last = LexTerms(c, text, true, false);
  std::string out;
  for (int i = 0; i <= last; ++i) {
    const ExprTerm& t = c.expr.terms[i];
    if (i > 0) out += ' ';
    out += t.op == kOpNull ? std::string(t.text.view()) : std::string(OperatorAt(t.op).name);
  }
  return out;
}

struct MarkCase {
  const char* text;
  const char* marked;
};

class MarkingTest : public ExprTest, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(MarkingTest, MarksOperators) {
  EXPECT_EQ(Marked(c(), GetParam().text), GetParam().marked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkingTest,
    ::testing::Values(
        // A number before a star makes it binary, with or without a blank.
        MarkCase{"a = 2*3", "a #31  2#12 3"}, MarkCase{"a = 2 * 3", "a #31  2 #12  3"},
        // Unary stars: first in the text, after an operator character, after a marker.
        MarkCase{"**p", "#9 #9 p"}, MarkCase{"x==*p", "x#23 #9 p"},
        MarkCase{"f(*p)", "f#1 #9 p#2 "}, MarkCase{"x++ * 2", "x#7  #9  2"},
        // Binary after a closing bracket or a name.
        MarkCase{"a)*b", "a#2 #12 b"}, MarkCase{"a]*b", "a#4 #12 b"}, MarkCase{"a1*b", "a1#12 b"},
        // Ampersands by the same rule; && is a name of its own.
        MarkCase{"&x", "#10 x"}, MarkCase{"f(&x)", "f#1 #10 x#2 "}, MarkCase{"a & b", "a #25  b"},
        MarkCase{"a&&b", "a#28 b"},
        // Long names first, in table order.
        MarkCase{"x<<=1", "x#17 #31 1"}, MarkCase{"a<=b", "a#20 b"}, MarkCase{"x-->0", "x#8 #21 0"},
        MarkCase{"a+=-1", "a#32 #16 1"}, MarkCase{"p->x", "p#38 x"}, MarkCase{"(int*)p", "#42 p"},
        MarkCase{"(char *)p", "#1 char #12 #2 p"},
        // "NULL" and "sizeof" are found inside longer names too.
        MarkCase{"isNULL", "is#0 "}, MarkCase{"mysizeofx", "my#11 x"},
        // One-character names last; every dot is the member operator.
        MarkCase{"s.x[1]", "s#39 x#3 1#4 "}, MarkCase{"a?b:c", "a#30 b:c"},
        MarkCase{"$ n", "#37  n"}, MarkCase{"~x % 2", "#6 x #14  2"}),
    [](const auto& info) { return CaseName(info.param.text, info.index); });

struct SplitCase {
  const char* text;
  const char* terms;
};

class SplittingTest : public ExprTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplittingTest, SplitsTerms) {
  EXPECT_EQ(Terms(c(), GetParam().text), GetParam().terms);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplittingTest,
    ::testing::Values(SplitCase{"(2+3)*-4", "( 2 + 3 ) * -4"}, SplitCase{"-5", "-5"},
                      SplitCase{"a-5", "a - 5"}, SplitCase{"a*-5", "a * -5"},
                      // A sign skips operators and lands on the next operand.
                      SplitCase{"-(a)", "( -a )"}, SplitCase{"a - -b", "a - -b"},
                      // After a prefix operator or a closing bracket the minus is binary.
                      SplitCase{"!-x", "! - x"}, SplitCase{"(a)-1", "( a ) - 1"},
                      SplitCase{"f(-1, -2)", "f ( -1 , -2 )"},
                      // Trailing blanks (and control bytes) leave the operand.
                      SplitCase{"x  =  y \t", "x = y"},
                      // NULL is the number 0.
                      SplitCase{"p = NULL", "p = 0"}, SplitCase{"x = -NULL", "x = -0"}),
    [](const auto& info) { return CaseName(info.param.text, info.index); });

TEST_F(ExprTest, SplitAppendsAfterTheLastTerm) {
  EXPECT_EQ(LexTerms(c(), "a+b", true, false), 2);
  std::string_view second = "@0=@0+1";
  EXPECT_EQ(LexTerms(c(), second, false, true), 7);
  EXPECT_EQ(c().expr.terms[3].ref, 0);
  EXPECT_EQ(c().expr.terms[4].op, kOpAssign);
  EXPECT_EQ(c().expr.terms[7].ref, -1);  // the 1 is a number
  // Without the reference flag "@0" is an ordinary operand text.
  EXPECT_EQ(LexTerms(c(), second, true, false), 4);
  EXPECT_EQ(c().expr.terms[0].ref, -1);
}

}  // namespace
}  // namespace stackcc::testing
