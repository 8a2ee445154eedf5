// The statements every user meets first, line for line.
#include "expr_test_util.h"

namespace stackcc::testing {
namespace {

TEST_F(ExprTest, ArithmeticBindsByPrecedence) {
  EXPECT_EQ(Compile("2+3*4"),
            Lines("push_parameter 2|push_parameter 3|push_parameter 4|mul 4|add 4|drop 4"));
}

TEST_F(ExprTest, GroupAndSignedConstant) {
  EXPECT_EQ(Compile("(2+3)*-4"),
            Lines("push_parameter 2|push_parameter 3|add 4|push_parameter -4|mul 4|drop 4"));
}

TEST_F(ExprTest, AssignmentToLocal) {
  Int("x_func_main");
  EnterFunction("main");
  EXPECT_EQ(Compile("x = 5"), Lines("push_parameter 5|dup 4|push_parameter x_func_main|peek 4|"
                                    "null_last_line|poke 4|drop 4"));
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(ExprTest, PostIncrement) {
  Int("i");
  EXPECT_EQ(Compile("i++"), Lines("push_parameter i|peek 4|push_parameter 1|add 4|dup 4|"
                                  "push_parameter i|peek 4|null_last_line|poke 4|drop 4"));
}

TEST_F(ExprTest, TwoDimensionalSubscript) {
  Array("a", 4, "[3][4]");
  EXPECT_EQ(Compile("a[1][2]"),
            Lines("push_parameter a|push_parameter 1|push_parameter 16|mul 4|add 4|"
                  "push_parameter 2|push_parameter 4|mul 4|add 4|peek 4|drop 4"));
}

TEST_F(ExprTest, CallPushesArgumentsLastFirst) {
  Function("f", 4, 2);
  Int("b");
  EXPECT_EQ(Compile("f(b, 2)"),
            Lines("push_parameter 2|push_parameter b|peek 4|push_parameter f|gosub|drop 4"));
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(ExprTest, MemberOfStructure) {
  Member("S", "a", 4, 4);
  Member("S", "b", 4, 4);
  Member("S", "x", 4, 4);
  Declare("s", 12, SymScalar, 1, "S");
  EXPECT_EQ(Compile("s.x"), Lines("push_parameter s|peek 12|null_last_line|push_parameter 8|"
                                  "add 4||peek 4||drop 4"));
  EXPECT_EQ(ReportCount(), 0);
}

}  // namespace
}  // namespace stackcc::testing
