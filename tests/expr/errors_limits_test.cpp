// Malformed expressions and the limits of the expression compiler: each is
// reported and the statement emits nothing; the next statement is unaffected.
#include <cstdint>

#include "expr_test_util.h"

namespace stackcc::testing {
namespace {

TEST_F(ExprTest, BlankTextEmitsNothing) {
  EXPECT_EQ(Compile(""), "");
  EXPECT_EQ(Compile("   "), "");
  EXPECT_EQ(Compile("\r\n \n"), "");
  EXPECT_EQ(ReportCount(), 0);
}

struct Malformed {
  const char* text;
  int code;
  const char* message;
  const char* aux;
};

TEST_F(ExprTest, MalformedExpressionsAreReported) {
  Int("a");
  Int("b");
  Function("f", 4, 1);
  const Malformed cases[] = {
      {"a ? b : 1", 12, "Get expression error", "?"}, {"a +", 12, "Get expression error", "+"},
      {"* ", 12, "Get expression error", "*"},        {"a = + b", 12, "Get expression error", "+"},
      {"-", 12, "Get expression error", "-"},         {"(a) b", 12, "Get expression error", "b"},
      {"a)", 12, "Get expression error", ")"},        {"(a)(b)", 12, "Get expression error", "("},
      {"a = ()", 12, "Get expression error", "()"},   {"(a", 3, "Get Parentes error", ""},
      {"f(a", 3, "Get Parentes error", ""},           {"a[1", 3, "Get Parentes error", ""},
      {"f(a[1, 2])", 3, "Get Parentes error", ""},    {"a].b", 3, "Get Parentes error", ""},
  };
  int reports = 0;
  for (const Malformed& m : cases) {
    EXPECT_EQ(Compile(m.text), "") << m.text;
    EXPECT_TRUE(Reported(m.message, m.aux)) << m.text;
    EXPECT_EQ(ReportCount(), ++reports) << m.text;
  }
  EXPECT_EQ(Compile("2+3"), Lines("push_parameter 2|push_parameter 3|add 4|drop 4"));
}

TEST_F(ExprTest, NullInsideANameSplitsIt) {
  Int("isNULLx");
  EXPECT_EQ(Compile("isNULLx"), "");
  EXPECT_TRUE(Reported("Get expression error", "0"));
}

TEST_F(ExprTest, ExpressionTooLong) {
  EXPECT_EQ(Compile(std::string(1024, '1')), "");
  EXPECT_TRUE(Reported("Expression too long", ""));
  // 1023 characters fit, until marking makes the operators longer.
  std::string sum = "1";
  while (sum.size() + 2 <= 1023) sum += "+1";
  EXPECT_EQ(Compile(sum), "");
  EXPECT_EQ(ReportCount(), 2);
}

TEST_F(ExprTest, TermTableFull) {
  std::string sum = "1";
  for (int i = 0; i < 149; ++i) sum += "+1";  // 299 terms
  EXPECT_NE(Compile(sum), "");
  EXPECT_EQ(Compile(sum + "+1"), "");
  EXPECT_TRUE(Reported("Expression too complex", ""));
  // Rewritten increments count too: each adds five terms.
  Int("i");
  std::string incs = "i++";
  for (int i = 0; i < 43; ++i) incs += ",i++";
  EXPECT_EQ(Compile(incs), "");
  EXPECT_EQ(ReportCount(), 2);
}

TEST_F(ExprTest, StatementOutputTooLong) {
  Int("x1");
  std::string sum = "x1";
  for (int i = 0; i < 119; ++i) sum += "+x1";  // 120 operands: 4073 characters
  EXPECT_NE(Compile(sum), "");
  EXPECT_EQ(Compile(sum + "+x1+x1"), "");
  EXPECT_TRUE(Reported("Expression output too long", ""));
}

TEST_F(ExprTest, TermCodeTooLong) {
  CompileExpression(c(), "1");
  c().expr.terms[0].code.assign(std::string(4090, 'x'));
  AppendCode(c(), 0, "push_parameter 1\r\n");
  EXPECT_TRUE(c().expr.failed);
  EXPECT_TRUE(Reported("Expression code too long", ""));
}

// A string without its closing quote (a ";" inside a string ends the statement
// there) writes nothing, and says so.
TEST_F(ExprTest, UnclosedStringEmitsNothingAndIsReported) {
  EXPECT_EQ(Compile("x = \"abc"), "");
  EXPECT_EQ(ReportCount(), 1);
}

TEST_F(ExprTest, StringLiteralBecomesItsLabel) {
  Pointer("x", 1);
  EXPECT_EQ(Compile("x = \"hi\""), Lines("push_parameter PTR_AUX_NUMBER_1|dup 4|push_parameter x|"
                                         "peek 4|null_last_line|poke 4|drop 4"));
  EXPECT_EQ(ReportCount(), 0);
}

// Random texts over the language's characters: every one ends, reports through
// the error table or compiles, and leaves a statement after it unaffected.
TEST_F(ExprTest, RandomTextsNeverHang) {
  Int("a");
  Array("m", 4, "[3][4]");
  Pointer("p", 4);
  Function("f", 4, -1);
  Member("S", "x", 4, 4);
  Declare("s", 4, SymScalar, 1, "S");
  const char* pieces[] = {
      "a", "m", "p",  "f",  "s",  "x",    "1",      "-",     "+",       "*",     "&",  "(", ")",
      "[", "]", ",",  ".",  "->", "++",   "--",     "=",     "+=",      "!",     "~",  "?", "@",
      "0", " ", "<<", "==", "$",  "NULL", "sizeof", "(int)", "(char*)", "\"s\"", "@1", "&&"};
  std::uint32_t seed = 12345;
  for (int n = 0; n < 20000; ++n) {
    std::string text;
    seed = seed * 1103515245u + 12345u;
    int length = 1 + static_cast<int>((seed >> 16) % 12);
    for (int i = 0; i < length; ++i) {
      seed = seed * 1103515245u + 12345u;
      text += pieces[(seed >> 16) % (sizeof(pieces) / sizeof(pieces[0]))];
    }
    Compile(text);
    ASSERT_EQ(Compile("2+3"), Lines("push_parameter 2|push_parameter 3|add 4|drop 4")) << text;
  }
}

}  // namespace
}  // namespace stackcc::testing
