// Increments, decrements and compound assignments, compiled as assignments.
#include "expr_test_util.h"

namespace stackcc::testing {
namespace {

struct Case {
  const char* text;
  const char* lines;
};

class RewriteTest : public ExprTest {
 protected:
  void SetUp() override {
    Int("i");
    Int("x");
    Int("y");
    Char("c");
    Pointer("p", 4);
    Array("a", 4, "[10]");
    Array("m", 4, "[3][4]");
    Member("T", "z", 4, 4);
    c().decl.structOffset = 0;
    Member("S", "w", 4, 4);
    Member("S", "t", 4, 4, SymScalar, "T");
    Declare("s", 8, SymScalar, 1, "S");
  }
};

constexpr const char* kStoreX = "dup 4|push_parameter x|peek 4|null_last_line|poke 4|drop 4";

TEST_F(RewriteTest, PlainTargets) {
  const Case cases[] = {
      {"i--",
       "push_parameter i|peek 4|push_parameter 1|sub 4|dup 4|"
       "push_parameter i|peek 4|null_last_line|poke 4|drop 4"},
      // The value is computed before the target address is pushed.
      {"x += 2",
       "push_parameter x|peek 4|push_parameter 2|add 4|dup 4|"
       "push_parameter x|peek 4|null_last_line|poke 4|drop 4"},
      {"x -= y",
       "push_parameter x|peek 4|push_parameter y|peek 4|sub 4|dup 4|"
       "push_parameter x|peek 4|null_last_line|poke 4|drop 4"},
      {"x *= y + 1",
       "push_parameter x|peek 4|push_parameter y|peek 4|push_parameter 1|add 4|"
       "mul 4|dup 4|push_parameter x|peek 4|null_last_line|poke 4|drop 4"},
      {"x /= 3",
       "push_parameter x|peek 4|push_parameter 3|div 4|dup 4|"
       "push_parameter x|peek 4|null_last_line|poke 4|drop 4"},
      // The sizes of the rewritten assignment apply.
      {"c++",
       "push_parameter c|peek 1|CHANGE_SIZE 1 4|push_parameter 1|add 4|CHANGE_SIZE 4 1|"
       "dup 1|push_parameter c|peek 1|null_last_line|poke 1|drop 1"},
      // A pointer steps by its element size.
      {"p++",
       "push_parameter p|peek 4|push_parameter 1|||push_parameter 4|mul 4|add 4|dup 4|"
       "push_parameter p|peek 4|null_last_line|poke 4|drop 4"},
  };
  for (const Case& k : cases) EXPECT_EQ(Compile(k.text), Lines(k.lines)) << k.text;
  EXPECT_EQ(ReportCount(), 0);
}

// A target that is itself a subscript, member or dereference is written twice,
// each time with everything below it.
TEST_F(RewriteTest, CompoundTargetsAreWrittenWhole) {
  const std::string ai =
      "push_parameter a|push_parameter i|peek 4|push_parameter 4|mul 4|add 4|peek 4";
  const std::string mxy =
      "push_parameter m|push_parameter x|peek 4|push_parameter 16|mul 4|add 4|"
      "push_parameter y|peek 4|push_parameter 4|mul 4|add 4|peek 4";
  const std::string stz =
      "push_parameter s|peek 8|null_last_line|push_parameter 4|add 4||peek 4||null_last_line|"
      "push_parameter 0|add 4||peek 4|";
  const std::string deref = "push_parameter p|peek 4|peek 4";
  const Case cases[] = {
      {"a[i]++", nullptr},
      {"m[x][y] += i", nullptr},
      {"s.t.z += 1", nullptr},
      {"(*p)++", nullptr},
  };
  const std::string want[] = {
      ai + "|push_parameter 1|add 4|dup 4|" + ai + "|null_last_line|poke 4|drop 4",
      mxy + "|push_parameter i|peek 4|add 4|dup 4|" + mxy + "|null_last_line|poke 4|drop 4",
      stz + "|push_parameter 1|add 4|dup 4|" + stz + "|null_last_line|poke 4|drop 4",
      deref + "|push_parameter 1|add 4|dup 4|" + deref + "|null_last_line|poke 4|drop 4",
  };
  for (int n = 0; n < 4; ++n) EXPECT_EQ(Compile(cases[n].text), Lines(want[n])) << cases[n].text;
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(RewriteTest, InsideALargerExpression) {
  // i++ is i = i + 1 and its value the new one; the enclosing + and = stay.
  EXPECT_EQ(Compile("x = i++ + 1"),
            Lines(std::string("push_parameter i|peek 4|push_parameter 1|add 4|dup 4|"
                              "push_parameter i|peek 4|null_last_line|poke 4|"
                              "push_parameter 1|add 4|") +
                  kStoreX));
  EXPECT_EQ(Compile("x = 2 * (y += 3)"),
            Lines(std::string("push_parameter 2|push_parameter y|peek 4|push_parameter 3|add 4|"
                              "dup 4|push_parameter y|peek 4|null_last_line|poke 4|mul 4|") +
                  kStoreX));
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(RewriteTest, StarBeforeIncrementIsAppliedFirst) {
  const std::string deref = "push_parameter p|peek 4|peek 4";
  EXPECT_EQ(Compile("*p++"), Lines(deref + "|push_parameter 1|add 4|dup 4|" + deref +
                                   "|null_last_line|poke 4|drop 4"));
  // After an increment a star is unary.
  EXPECT_EQ(Compile("(x++) * 2"),
            Lines("push_parameter x|peek 4|push_parameter 1|add 4|dup 4|push_parameter x|peek 4|"
                  "null_last_line|poke 4|push_parameter 2|mul 4|drop 4"));
  EXPECT_EQ(ReportCount(), 0);
  EXPECT_EQ(Compile("x++ * 2"), "");
  EXPECT_TRUE(Reported("Not a pointer", "2"));
}

TEST_F(RewriteTest, PrefixIncrementIsNotInTheLanguage) {
  EXPECT_EQ(Compile("++i"), "");
  EXPECT_TRUE(Reported("Get expression error", "++"));
  EXPECT_EQ(Compile("x = --i"), "");
  EXPECT_EQ(ReportCount(), 2);
}

}  // namespace
}  // namespace stackcc::testing
