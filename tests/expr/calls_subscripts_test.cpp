// Calls and subscripts.
#include "expr_test_util.h"

namespace stackcc::testing {
namespace {

TEST_F(ExprTest, CallsWithZeroOneAndMoreArguments) {
  Function("f0", 4, 0);
  Function("f3", 4, 3);
  Int("a");
  EXPECT_EQ(Compile("f0()"), Lines("push_parameter f0|gosub|drop 4"));
  EXPECT_EQ(Compile("f3(a, 2, a+1)"),
            Lines("push_parameter a|peek 4|push_parameter 1|add 4|push_parameter 2|"
                  "push_parameter a|peek 4|push_parameter f3|gosub|drop 4"));
  EXPECT_EQ(Compile("a = f0() + 1"), Lines("push_parameter f0|gosub|push_parameter 1|add 4|dup 4|"
                                           "push_parameter a|peek 4|null_last_line|poke 4|drop 4"));
  EXPECT_EQ(Compile("f3(f0(), (a), -1)"),
            Lines("push_parameter -1|push_parameter a|peek 4|push_parameter f0|gosub|"
                  "push_parameter f3|gosub|drop 4"));
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(ExprTest, UndeclaredCalleeIsDeclaredByItsFirstCall) {
  EnterFunction("main");
  EXPECT_EQ(Compile("g(1)"), Lines("push_parameter 1|push_parameter g|gosub|drop 4"));
  EXPECT_EQ(ReportCount(), 0);
  int s = FindSymbol(c(), "g");
  ASSERT_GT(s, 0);
  EXPECT_EQ(c().decl.symbols[s].name.view(), "g");  // functions are never scoped
  EXPECT_EQ(c().decl.symbols[s].kind, SymFunction);
  EXPECT_EQ(c().decl.symbols[s].paramCount, 1);
  // Another number of arguments is reported, and the call is compiled anyway.
  EXPECT_EQ(Compile("g(1, 2)"),
            Lines("push_parameter 2|push_parameter 1|push_parameter g|gosub|drop 4"));
  EXPECT_TRUE(Reported("Different number of parameters", "g"));
}

TEST_F(ExprTest, ParameterCountOfKnownFunctions) {
  Function("two", 4, 2);
  Function("any", 4, -1);
  Function("none", 0, 0);
  Compile("two(1)");
  EXPECT_TRUE(Reported("Different number of parameters", "two"));
  Compile("any(1, 2, 3)");
  EXPECT_EQ(ReportCount(), 1);
  // A function without a value still drops its (empty) size.
  EXPECT_EQ(Compile("none()"), Lines("push_parameter none|gosub|drop 0"));
}

TEST_F(ExprTest, OnlyANameCanBeCalled) {
  EXPECT_EQ(Compile("5(1)"), "");
  EXPECT_TRUE(Reported("Get expression error", "5"));
  EXPECT_FALSE(SymbolExists(c(), "5"));
}

struct Case {
  const char* text;
  const char* lines;
};

class SubscriptTest : public ExprTest {
 protected:
  void SetUp() override {
    Array("a", 4, "[10]");
    Array("b", 1, "[10]");
    Array("m", 4, "[2][3][4]");
    Array("g", 4, "[3][4]");
    Array("ap", 4, "[3]", 2);  // int *ap[3]
    Pointer("p", 4);
    Pointer("q", 1);
    Int("i");
  }
};

TEST_F(SubscriptTest, ArraysAndPointers) {
  const Case cases[] = {
      {"a[3]", "push_parameter a|push_parameter 3|push_parameter 4|mul 4|add 4|peek 4|drop 4"},
      {"b[3]", "push_parameter b|push_parameter 3|add 4|peek 1|drop 1"},
      {"m[1][2][3]",
       "push_parameter m|push_parameter 1|push_parameter 48|mul 4|add 4|"
       "push_parameter 2|push_parameter 16|mul 4|add 4|"
       "push_parameter 3|push_parameter 4|mul 4|add 4|peek 4|drop 4"},
      // Fewer subscripts than dimensions leave an address.
      {"m[1]", "push_parameter m|push_parameter 1|push_parameter 48|mul 4|add 4|drop 4"},
      {"p[2]",
       "push_parameter p|peek 4|push_parameter 2|push_parameter 4|mul 4|add 4|peek 4|"
       "drop 4"},
      {"q[i]", "push_parameter q|peek 4|push_parameter i|peek 4|add 4|peek 1|drop 1"},
      // An array of pointers: the element is a pointer, which can be indexed again.
      {"ap[1]", "push_parameter ap|push_parameter 1|push_parameter 4|mul 4|add 4|peek 4|drop 4"},
      {"ap[1][2]",
       "push_parameter ap|push_parameter 1|push_parameter 4|mul 4|add 4|peek 4|"
       "push_parameter 2|push_parameter 4|mul 4|add 4|peek 4|drop 4"},
      {"a[1] = 5",
       "push_parameter 5|dup 4|push_parameter a|push_parameter 1|push_parameter 4|"
       "mul 4|add 4|peek 4|null_last_line|poke 4|drop 4"},
      {"&a[2]",
       "push_parameter a|push_parameter 2|push_parameter 4|mul 4|add 4|peek 4|"
       "null_last_line|drop 4"},
      // A subscript inside an index does not change how the outer chain scales. An
      // index is used at its own size.
      {"g[p[1]][2]",
       "push_parameter g|push_parameter p|peek 4|push_parameter 1|push_parameter 4|"
       "mul 4|add 4|peek 4|push_parameter 16|mul 4|add 4|"
       "push_parameter 2|push_parameter 4|mul 4|add 4|peek 4|drop 4"},
      {"g[a[1]][b[2]]",
       "push_parameter g|push_parameter a|push_parameter 1|push_parameter 4|"
       "mul 4|add 4|peek 4|push_parameter 16|mul 4|add 4|push_parameter b|"
       "push_parameter 2|add 4|peek 1|push_parameter 4|mul 4|"
       "add 4|peek 4|drop 4"},
  };
  for (const Case& k : cases) EXPECT_EQ(Compile(k.text), Lines(k.lines)) << k.text;
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(SubscriptTest, WhatCannotBeSubscripted) {
  EXPECT_EQ(Compile("i[1]"), "");
  EXPECT_TRUE(Reported("Not a pointer", ""));
  EXPECT_EQ(Compile("a[1][2]"), "");  // one dimension only
  EXPECT_EQ(Compile("p[1][2]"), "");
  EXPECT_EQ(ReportCount(), 3);
  EXPECT_EQ(Compile("u[1]"), "");
  EXPECT_TRUE(Reported("Variable not found", "u"));
  EXPECT_EQ(ReportCount(), 5);
  EXPECT_EQ(Compile("a[]"), "");
  EXPECT_TRUE(Reported("Get expression error", "[]"));
}

}  // namespace
}  // namespace stackcc::testing
