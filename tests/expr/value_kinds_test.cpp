// What kind of value each construct gives: assignment chains, strings
// subscripted, function names as values, pointer casts, "!", the address of
// values that are addresses already, and operands that run into the next
// statement.
#include "expr_test_util.h"

namespace stackcc::testing {
namespace {

class ValueKindsTest : public ExprTest {
 protected:
  void SetUp() override {
    Int("a");
    Int("b");
    Char("c");
    Int("n");
    Long("l");
    Pointer("p", 4);   // int *p
    Pointer("lp", 8);  // long *lp
    Array("arr", 4, "[3]");
    Array("m", 4, "[2][3]");
    Function("tick", 0, 0);
    Function("letter", 1, 0);
  }
};

struct Case {
  const char* text;
  const char* lines;
};

TEST_F(ValueKindsTest, AssignmentsOfAChainApplyFromTheRight) {
  const Case cases[] = {
      {"a = b = 5",
       "push_parameter 5|dup 4|push_parameter b|peek 4|null_last_line|poke 4|"
       "dup 4|push_parameter a|peek 4|null_last_line|poke 4|drop 4"},
      // The stored value is b's, converted to a's size.
      {"c = a = 300",
       "push_parameter 300|dup 4|push_parameter a|peek 4|null_last_line|poke 4|"
       "CHANGE_SIZE 4 1|dup 1|push_parameter c|peek 1|null_last_line|poke 1|drop 1"},
      {"a += b = 3",
       "push_parameter a|peek 4|push_parameter 3|dup 4|push_parameter b|peek 4|null_last_line|"
       "poke 4|add 4|dup 4|push_parameter a|peek 4|null_last_line|poke 4|drop 4"},
      {"a = b += 2",
       "push_parameter b|peek 4|push_parameter 2|add 4|dup 4|push_parameter b|peek 4|"
       "null_last_line|poke 4|dup 4|push_parameter a|peek 4|null_last_line|poke 4|drop 4"},
  };
  for (const Case& k : cases) EXPECT_EQ(Compile(k.text), Lines(k.lines)) << k.text;
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(ValueKindsTest, CastsAndNotGiveTheirKindOfValue) {
  const Case cases[] = {
      // Pointer casts set what is pointed to: the load's width and the step.
      {"*(char*)lp", "push_parameter lp|peek 4|peek 1|drop 1"},
      {"*(long*)p", "push_parameter p|peek 4|peek 8|drop 8"},
      {"(char*)lp + 1", "push_parameter lp|peek 4|push_parameter 1|||add 4|drop 4"},
      {"(long*)p + 1",
       "push_parameter p|peek 4|push_parameter 1|||push_parameter 8|mul 4|add 4|drop 4"},
      {"(char*)p - (char*)lp", "push_parameter p|peek 4|push_parameter lp|peek 4|sub 4|drop 4"},
      {"(char*)l", "push_parameter l|peek 8|CHANGE_SIZE 8 4|drop 4"},
      // (int), (long), (char) and "!" give numbers: nothing beside them is scaled.
      {"(int)p + 1", "push_parameter p|peek 4|push_parameter 1|add 4|drop 4"},
      {"!p + 1", "push_parameter p|peek 4|logic_not 4|push_parameter 1|add 4|drop 4"},
      {"n + !p", "push_parameter n|peek 4|push_parameter p|peek 4|logic_not 4|add 4|drop 4"},
      {"!c", "push_parameter c|peek 1|logic_not 1|drop 1"},
  };
  for (const Case& k : cases) EXPECT_EQ(Compile(k.text), Lines(k.lines)) << k.text;
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(ValueKindsTest, AddressesAreFourBytesAndKeptByAmpersand) {
  const Case cases[] = {
      // A function's name is its address, whatever the function returns.
      {"a = tick",
       "push_parameter tick|dup 4|push_parameter a|peek 4|null_last_line|poke 4|drop 4"},
      {"a = letter",
       "push_parameter letter|dup 4|push_parameter a|peek 4|null_last_line|poke 4|drop 4"},
      {"&tick", "push_parameter tick|drop 4"},
      // A call still has the return size.
      {"letter()", "push_parameter letter|gosub|drop 1"},
      {"tick()", "push_parameter tick|gosub|drop 0"},
      // An array and a row are addresses already; an element's load is cancelled.
      {"&arr", "push_parameter arr|drop 4"},
      {"&m[1]", "push_parameter m|push_parameter 1|push_parameter 12|mul 4|add 4|drop 4"},
      {"&arr[1]",
       "push_parameter arr|push_parameter 1|push_parameter 4|mul 4|add 4|peek 4|"
       "null_last_line|drop 4"},
  };
  for (const Case& k : cases) EXPECT_EQ(Compile(k.text), Lines(k.lines)) << k.text;
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(ValueKindsTest, StringLiteralIsACharArray) {
  EXPECT_EQ(Compile("c = \"0123\"[n]"),
            Lines("push_parameter PTR_AUX_NUMBER_1|push_parameter n|peek 4|add 4|peek 1|dup 1|"
                  "push_parameter c|peek 1|null_last_line|poke 1|drop 1"));
  EXPECT_EQ(Compile("*\"ab\""), Lines("push_parameter PTR_AUX_NUMBER_2|peek 1|drop 1"));
  EXPECT_EQ(Compile("\"ab\" + 1"),
            Lines("push_parameter PTR_AUX_NUMBER_3|push_parameter 1|||add 4|drop 4"));
}

TEST_F(ValueKindsTest, TwoValuesInOneOperandAreAMissingSemicolon) {
  const char* texts[] = {"a = 1  b = 2", "a = b c", "f(a b)", "x y"};
  int reports = 0;
  for (const char* text : texts) {
    EXPECT_EQ(Compile(text), "") << text;
    EXPECT_EQ(ReportCount(), ++reports) << text;
  }
  EXPECT_TRUE(Reported("Missing ;", "1  b"));
  EXPECT_TRUE(Reported("Missing ;", "a b"));
  // A blank at either end is no second value.
  EXPECT_EQ(Compile("a =  b  "), Lines("push_parameter b|peek 4|dup 4|push_parameter a|peek 4|"
                                       "null_last_line|poke 4|drop 4"));
  EXPECT_EQ(ReportCount(), reports);
}

}  // namespace
}  // namespace stackcc::testing
