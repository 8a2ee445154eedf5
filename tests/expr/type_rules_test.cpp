// Sizes and conversions: each type rule with its CHANGE_SIZE lines, pointer
// scaling, casts, dereference and address.
#include "expr_test_util.h"

namespace stackcc::testing {
namespace {

class TypeRulesTest : public ExprTest {
 protected:
  void SetUp() override {
    Char("c");
    Int("i");
    Long("l");
    Pointer("p", 4);  // int *p
    Pointer("q", 1);  // char *q
    Array("a", 4, "[10]");
  }
};

struct Case {
  const char* text;
  const char* lines;
};

TEST_F(TypeRulesTest, SizesCombineByRule) {
  const Case cases[] = {
      // Arithmetic: the narrower operand is widened right after its own code.
      {"c + i", "push_parameter c|peek 1|CHANGE_SIZE 1 4|push_parameter i|peek 4|add 4|drop 4"},
      {"i + c", "push_parameter i|peek 4|push_parameter c|peek 1|CHANGE_SIZE 1 4|add 4|drop 4"},
      {"l * i", "push_parameter l|peek 8|push_parameter i|peek 4|CHANGE_SIZE 4 8|mul 8|drop 8"},
      {"c & c", "push_parameter c|peek 1|push_parameter c|peek 1|and 1|drop 1"},
      // Comparisons and logic give at least 4 bytes.
      {"c < c", "push_parameter c|peek 1|push_parameter c|peek 1|less 4|drop 4"},
      {"l == c", "push_parameter l|peek 8|push_parameter c|peek 1|CHANGE_SIZE 1 8|equal 8|drop 8"},
      {"c && i",
       "push_parameter c|peek 1|CHANGE_SIZE 1 4|push_parameter i|peek 4|logic_and 4|drop 4"},
      // Shifts convert the count only, and give 4 bytes; a long keeps its 8.
      {"i << c",
       "push_parameter i|peek 4|push_parameter c|peek 1|CHANGE_SIZE 1 4|shift_left 4|drop 4"},
      {"c >> 2", "push_parameter c|peek 1|push_parameter 2|shift_right 4|drop 4"},
      {"l << c",
       "push_parameter l|peek 8|push_parameter c|peek 1|CHANGE_SIZE 1 4|shift_left 8|drop 8"},
      {"l >> 2 + l", "push_parameter l|peek 8|push_parameter 2|CHANGE_SIZE 4 8|push_parameter l|"
                     "peek 8|add 8|CHANGE_SIZE 8 4|shift_right 8|drop 8"},
      // Assignment converts the value to the target's size.
      {"c = i",
       "push_parameter i|peek 4|CHANGE_SIZE 4 1|dup 1|push_parameter c|peek 1|"
       "null_last_line|poke 1|drop 1"},
      {"l = 5",
       "push_parameter 5|CHANGE_SIZE 4 8|dup 8|push_parameter l|peek 8|null_last_line|"
       "poke 8|drop 8"},
      // Casts.
      {"(long)i", "push_parameter i|peek 4|CHANGE_SIZE 4 8|drop 8"},
      {"(int)i", "push_parameter i|peek 4|drop 4"},
      {"(char)i", "push_parameter i|peek 4|CHANGE_SIZE 4 1|drop 1"},
      {"(int)c", "push_parameter c|peek 1|CHANGE_SIZE 1 4|drop 4"},
      {"(char*)i", "push_parameter i|peek 4|drop 4"},
      {"(long*)c", "push_parameter c|peek 1|CHANGE_SIZE 1 4|drop 4"},
      // Logical not and complement keep the operand's size.
      {"!c", "push_parameter c|peek 1|logic_not 1|drop 1"},
      {"~i", "push_parameter i|peek 4|push_parameter -1|xor 4|drop 4"},
      {"~c", "push_parameter c|peek 1|push_parameter -1|CHANGE_SIZE 4 1|xor 1|drop 1"},
      {"~l", "push_parameter l|peek 8|push_parameter -1|CHANGE_SIZE 4 8|xor 8|drop 8"},
      // sizeof evaluates and drops its operand; an array's value is an address.
      {"sizeof c", "push_parameter c|peek 1|drop 1|push_parameter 1|drop 4"},
      {"sizeof(a)", "push_parameter a|drop 4|push_parameter 4|drop 4"},
  };
  for (const Case& k : cases) EXPECT_EQ(Compile(k.text), Lines(k.lines)) << k.text;
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(TypeRulesTest, IntegerBesidePointerIsScaled) {
  const Case cases[] = {
      {"p + 1", "push_parameter p|peek 4|push_parameter 1|||push_parameter 4|mul 4|add 4|drop 4"},
      {"1 + p", "push_parameter 1|||push_parameter 4|mul 4|push_parameter p|peek 4|add 4|drop 4"},
      {"p - c",
       "push_parameter p|peek 4|push_parameter c|peek 1||CHANGE_SIZE 1 4||"
       "push_parameter 4|mul 4|sub 4|drop 4"},
      // A char pointer steps by one: no multiplication.
      {"q + 1", "push_parameter q|peek 4|push_parameter 1|||add 4|drop 4"},
      {"2 + q", "push_parameter 2|||push_parameter q|peek 4|add 4|drop 4"},
      {"a + i", "push_parameter a|push_parameter i|peek 4|||push_parameter 4|mul 4|add 4|drop 4"},
      // The difference of two pointers counts elements, and is a plain number.
      {"p - p", "push_parameter p|peek 4|push_parameter p|peek 4|sub 4|push_parameter 4|div 4|drop 4"},
      {"q - q", "push_parameter q|peek 4|push_parameter q|peek 4|sub 4|drop 4"},
      // A comparison of two pointers is a truth value: adding to it scales nothing.
      {"(p != p) + 1", "push_parameter p|peek 4|push_parameter p|peek 4|notequal 4|"
                       "push_parameter 1|add 4|drop 4"},
      {"(p - p) + 1",
       "push_parameter p|peek 4|push_parameter p|peek 4|sub 4|push_parameter 4|div 4|"
       "push_parameter 1|add 4|drop 4"},
      // Other operators never scale.
      {"p * 2", "push_parameter p|peek 4|push_parameter 2|mul 4|drop 4"},
      // sizeof gives a plain number, so adding to it is plain arithmetic.
      {"sizeof(i) + 1",
       "push_parameter i|peek 4|drop 4|push_parameter 4|push_parameter 1|add 4|"
       "drop 4"},
  };
  for (const Case& k : cases) EXPECT_EQ(Compile(k.text), Lines(k.lines)) << k.text;
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(TypeRulesTest, TwoPointersCannotBeAdded) {
  for (const char* text : {"p + p", "p += p", "x = a + p"}) {
    EXPECT_EQ(Compile(text), "") << text;
  }
  EXPECT_EQ(ReportCount(), 3);
}

TEST_F(TypeRulesTest, DereferenceAndAddress) {
  EXPECT_EQ(Compile("*p"), Lines("push_parameter p|peek 4|peek 4|drop 4"));
  EXPECT_EQ(Compile("*q"), Lines("push_parameter q|peek 4|peek 1|drop 1"));
  EXPECT_EQ(
      Compile("*p = 3"),
      Lines("push_parameter 3|dup 4|push_parameter p|peek 4|peek 4|null_last_line|poke 4|drop 4"));
  EXPECT_EQ(Compile("&i"), Lines("push_parameter i|peek 4|null_last_line|drop 4"));
  EXPECT_EQ(Compile("*&i"), Lines("push_parameter i|peek 4|null_last_line|peek 4|drop 4"));
  EXPECT_EQ(Compile("*(int*)i"), Lines("push_parameter i|peek 4|peek 4|drop 4"));
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(TypeRulesTest, DereferencingAPlainValueReportsNotAPointer) {
  // The operator emits nothing; the rest of the statement is compiled.
  EXPECT_EQ(Compile("*5"), Lines("push_parameter 5|drop 4"));
  EXPECT_TRUE(Reported("Not a pointer", "5"));
  EnterFunction("f");
  Int("k_func_f");
  Int("x");
  EXPECT_EQ(Compile("x = *k"), Lines("push_parameter k_func_f|peek 4|dup 4|push_parameter x|"
                                     "peek 4|null_last_line|poke 4|drop 4"));
  EXPECT_TRUE(Reported("Not a pointer", "k"));  // shown without its function suffix
  EXPECT_EQ(Compile("**p"), Lines("push_parameter p|peek 4|peek 4|drop 4"));
  EXPECT_TRUE(Reported("Not a pointer", ""));
}

TEST_F(TypeRulesTest, ChangeSizeLineText) {
  EXPECT_EQ(ChangeSizeLine(1, 4).view(), "CHANGE_SIZE 1 4\r\n");
  EXPECT_EQ(ChangeSizeLine(8, 1).view(), "CHANGE_SIZE 8 1\r\n");
}

}  // namespace
}  // namespace stackcc::testing
