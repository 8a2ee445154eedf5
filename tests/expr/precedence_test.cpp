// The order in which operators are applied: higher precedence first, the
// leftmost of equals first, prefix operators from the inside out.
#include "expr_test_util.h"

namespace stackcc::testing {
namespace {

struct Binary {
  const char* op;
  const char* mnemonic;
  int precedence;
};

constexpr Binary kBinaries[] = {
    {"*", "mul", 90},
    {"/", "div", 90},
    {"%", "mod", 90},
    {"+", "add", 85},
    {"-", "sub", 85},
    {"<<", "shift_left", 80},
    {">>", "shift_right", 80},
    {"<", "less", 75},
    {"<=", "lessorequal", 75},
    {">", "greater", 75},
    {">=", "greaterorequal", 75},
    {"==", "equal", 70},
    {"!=", "notequal", 70},
    {"&", "and", 65},
    {"^", "xor", 60},
    {"|", "or", 55},
    {"&&", "logic_and", 50},
    {"||", "logic_or", 45},
};

// Every pair of binary operators: 2 a 3 b 4 applies b first only when it binds
// tighter than a.
TEST_F(ExprTest, EveryPairOfBinaryOperatorsInOrder) {
  for (const Binary& a : kBinaries) {
    for (const Binary& b : kBinaries) {
      std::string text = std::string("2 ") + a.op + " 3 " + b.op + " 4";
      std::string ma = std::string(a.mnemonic) + " 4";
      std::string mb = std::string(b.mnemonic) + " 4";
      std::string want =
          b.precedence > a.precedence
              ? "push_parameter 2|push_parameter 3|push_parameter 4|" + mb + "|" + ma
              : "push_parameter 2|push_parameter 3|" + ma + "|push_parameter 4|" + mb;
      EXPECT_EQ(Compile(text), Lines(want + "|drop 4")) << text;
    }
  }
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(ExprTest, AssignmentChainAppliesFromTheRight) {
  Int("a");
  Int("b");
  Int("c");
  // b = c is applied first; its value is stored into a.
  EXPECT_EQ(Compile("a = b = c"),
            Lines("push_parameter c|peek 4|dup 4|push_parameter b|peek 4|null_last_line|poke 4|"
                  "dup 4|push_parameter a|peek 4|null_last_line|poke 4|drop 4"));
}

TEST_F(ExprTest, PrefixOperatorsApplyFromTheInsideOut) {
  Int("x");
  EXPECT_EQ(Compile("!!x"), Lines("push_parameter x|peek 4|logic_not 4|logic_not 4|drop 4"));
  Declare("pp", 4, SymPointer, 3);
  EXPECT_EQ(Compile("**pp"), Lines("push_parameter pp|peek 4|peek 4|peek 4|drop 4"));
  Char("ch");
  EXPECT_EQ(Compile("(long)!ch"),
            Lines("push_parameter ch|peek 1|logic_not 1|CHANGE_SIZE 1 8|drop 8"));
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(ExprTest, CastBindsTighterThanMember) {
  Member("S", "v", 1, 1);
  Declare("s", 1, SymScalar, 1, "S");
  // (int) takes s; the member is then read from the converted owner.
  EXPECT_EQ(Compile("(int)s.v"),
            Lines("push_parameter s|peek 1|CHANGE_SIZE 1 4|null_last_line|push_parameter 0|"
                  "add 4||peek 1||drop 1"));
}

TEST_F(ExprTest, CommaIsLoosestAndStoreLoosestOfAll) {
  Int("i");
  Int("j");
  EXPECT_EQ(Compile("i = 1, j = 2"),
            Lines("push_parameter 1|dup 4|push_parameter i|peek 4|null_last_line|poke 4|drop 4|"
                  "push_parameter 2|dup 4|push_parameter j|peek 4|null_last_line|poke 4|drop 4"));
  EXPECT_EQ(Compile("$ i"), Lines("push_parameter i|peek 4|null_last_line|poke 4|drop 4"));
}

}  // namespace
}  // namespace stackcc::testing
