#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "scanner/scanner.h"
#include "test_support.h"

namespace stackcc {
namespace {

using testing::TestCompiler;

// Pieces joined into one text (appended in place: joining temporaries with +
// draws a false overlap warning from this compiler).
std::string Joined(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces) text.append(piece);
  return text;
}

enum class Reader {
  Word,
  Name,
  Number,
  Quoted,
  QuotedCodes,
  BraceList,
  Datum,
  Brackets,
  Statement
};

std::string_view Read(Compiler& c, Reader r, bool required) {
  switch (r) {
    case Reader::Word:
      return ReadWord(c, required);
    case Reader::Name:
      return ReadName(c, required);
    case Reader::Number:
      return ReadNumber(c, required);
    case Reader::Quoted:
      return ReadQuoted(c, required);
    case Reader::QuotedCodes:
      return ReadQuotedCodes(c, required);
    case Reader::BraceList:
      return ReadBraceList(c, required);
    case Reader::Datum:
      return ReadDatum(c, required);
    case Reader::Brackets:
      return ReadBrackets(c, required);
    case Reader::Statement:
      return ReadStatementText(c);
  }
  return {};
}

struct ReaderCase {
  const char* label;
  Reader reader;
  bool required;
  const char* input;
  const char* expected;
  const char* rest;  // what is left at the cursor
  int errorCode;     // 0 when nothing may be reported
};

class ReaderTest : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderTest, ReadsTokenAndLeavesRest) {
  const ReaderCase& tc = GetParam();
  TestCompiler t;
  t.SetText(tc.input);
  std::string got(Read(t.c(), tc.reader, tc.required));
  EXPECT_EQ(got, tc.expected);
  EXPECT_EQ(std::string(ScanRest(t.c())), tc.rest);
  EXPECT_EQ(t->diag.lastCode, tc.errorCode);
  EXPECT_EQ(t->diag.reportCount, tc.errorCode == 0 ? 0 : 1);
}

const ReaderCase kReaderCases[] = {
    {"word_underscore_first", Reader::Word, true, "_x = 1", "_x", " = 1", 0},
    {"word_digit_first", Reader::Word, true, "9a;", "9a", ";", 0},
    {"word_absent_required", Reader::Word, true, "  +x", "", "+x", 13},
    {"word_absent_optional", Reader::Word, false, ",", "", ",", 0},
    {"name_plain", Reader::Name, true, "  count_2 = 1", "count_2", " = 1", 0},
    {"name_underscore_first", Reader::Name, true, "_x", "", "_x", 5},
    {"name_digit_first", Reader::Name, false, "9a", "", "9a", 0},
    {"number_digits", Reader::Number, true, "123;", "123", ";", 0},
    {"number_hex_stops", Reader::Number, true, "0x10", "0", "x10", 0},
    {"number_sign_absent", Reader::Number, true, "-5", "", "-5", 4},
    {"quoted_plain", Reader::Quoted, true, "\"Sys10.c\"; ", "Sys10.c", "; ", 0},
    {"quoted_backslash_plain", Reader::Quoted, true, "\"a\\\"b", "a\\", "b", 0},
    {"quoted_absent", Reader::Quoted, true, "x", "", "x", 2},
    {"quoted_unterminated", Reader::Quoted, true, "\"abc", "abc", "", 2},
    {"codes_empty", Reader::QuotedCodes, true, "\"\" x", "\"\"", " x", 0},
    {"codes_one", Reader::QuotedCodes, true, "\"a\"", "\"097\"", "", 0},
    {"codes_with_blank", Reader::QuotedCodes, true, "\"AB c\";", "\"065066032099\"", ";", 0},
    {"codes_unterminated", Reader::QuotedCodes, true, "\"A", "\"065\"", "", 2},
    {"brace_flat", Reader::BraceList, true, "{ 1 , \"ab\" } ;", "{1,\"097098\"}", " ;", 0},
    {"brace_nested", Reader::BraceList, true, "{ {1, 2}, {3, 4} };", "{{1,2},{3,4}}", ";", 0},
    {"brace_absent", Reader::BraceList, true, "1", "", "1", 10},
    {"brace_unterminated", Reader::BraceList, true, "{1, 2", "{1,2", "", 10},
    {"datum_list", Reader::Datum, true, "{1}", "{1}", "", 0},
    {"datum_string", Reader::Datum, true, "\"e\"", "\"101\"", "", 0},
    {"datum_number", Reader::Datum, true, "42;", "42", ";", 0},
    {"datum_minus", Reader::Datum, true, "-5;", "", "-5;", 11},
    {"datum_minus_optional", Reader::Datum, false, "-5;", "", "-5;", 0},
    {"brackets_two_groups", Reader::Brackets, true, "[2] [4];", "[2][4]", ";", 0},
    {"brackets_no_nesting", Reader::Brackets, true, "[a[1]]", "[a[1]", "]", 0},
    {"brackets_folded", Reader::Brackets, true, "[2*8] = {1}", "[16]", "= {1}", 0},
    {"brackets_absent", Reader::Brackets, true, "= 1", "", "= 1", 1},
    {"brackets_unterminated", Reader::Brackets, true, "[12", "[12", "", 0},
    {"statement_semicolon", Reader::Statement, true, "  a = 1; b", "a = 1", " b", 0},
    {"statement_brace", Reader::Statement, true, "a = 1 } x", "a = 1 ", " x", 41},
    {"statement_string_cut", Reader::Statement, true, "f(\"a;b\");", "f(\"a", "b\");", 0},
    {"statement_unterminated", Reader::Statement, true, "a = 1", "a = 1", "", 41},
};

INSTANTIATE_TEST_SUITE_P(Readers, ReaderTest, ::testing::ValuesIn(kReaderCases),
                         [](const auto& info) { return std::string(info.param.label); });

struct MatchCase {
  const char* label;
  int (*match)(Compiler&, std::string_view);
  const char* literal;
  const char* input;
  int expected;
  int position;  // cursor after the call
};

class MatchTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchTest, MatchesAtCursor) {
  const MatchCase& tc = GetParam();
  TestCompiler t;
  t.SetText(tc.input);
  EXPECT_EQ(tc.match(t.c(), tc.literal), tc.expected);
  EXPECT_EQ(t->scan.cur.position, tc.position);
}

const MatchCase kMatchCases[] = {
    {"keyword_letter_after", MatchKeyword, "while", "whilex (a) {", 0, 0},
    {"keyword_paren_after", MatchKeyword, "while", "while(a){", 1, 5},
    {"keyword_underscore_after", MatchKeyword, "return", "return_value = 1;", 1, 6},
    {"keyword_digit_after", MatchKeyword, "if", "if2", 0, 0},
    {"keyword_blanks_skipped", MatchKeyword, "do", "  done", 0, 2},
    {"keyword_end_of_text", MatchKeyword, "else", " else", 1, 5},
    {"text_no_boundary", MatchText, "else", "elsewhere", 1, 4},
    {"text_absent", MatchText, "{", " x", 0, 1},
    {"peek_present", PeekText, "[", "  [3]", 1, 2},
    {"peek_longer_than_text", PeekText, "while", "wh", 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Matches, MatchTest, ::testing::ValuesIn(kMatchCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ReadParenthesised, DistinguishesAbsentFromEmpty) {
  TestCompiler t;
  t.SetText("(a(b)c) d");
  auto group = ReadParenthesised(t.c(), true);
  ASSERT_TRUE(group.has_value());
  EXPECT_EQ(*group, "a(b)c");
  EXPECT_EQ(ScanRest(t.c()), " d");

  t.SetText("()");
  group = ReadParenthesised(t.c(), true);
  ASSERT_TRUE(group.has_value());
  EXPECT_EQ(*group, "");

  t.SetText("x");
  EXPECT_FALSE(ReadParenthesised(t.c(), false).has_value());
  EXPECT_EQ(t->diag.reportCount, 0);
  EXPECT_FALSE(ReadParenthesised(t.c(), true).has_value());
  EXPECT_EQ(t->diag.lastCode, 3);
}

TEST(ReadParenthesised, UnclosedGroupIsReportedEvenWhenOptional) {
  TestCompiler t;
  t.SetText("(a, (b)");
  EXPECT_FALSE(ReadParenthesised(t.c(), false).has_value());
  EXPECT_EQ(t->diag.lastCode, 3);

  std::string longGroup = Joined({"(", std::string(20480, 'a'), ")"});
  t.SetText(longGroup);
  EXPECT_FALSE(ReadParenthesised(t.c(), false).has_value());
  EXPECT_EQ(t->diag.reportCount, 2);
  EXPECT_EQ(t->scan.cur.position, 1 + 20480);
}

TEST(SkipBlanks, CopiesMarkersAndSetsPosition) {
  TestCompiler t;
  t.SetText("LINE:12:prog.c a = 1;");
  EXPECT_EQ(ReadName(t.c(), true), "a");
  EXPECT_EQ(t->out.emit.view(), "LINE:12:prog.c\r\n");
  EXPECT_EQ(t->diag.errorLineText.view(), "12:prog.c");
  EXPECT_EQ(t->scan.lastMarkerLine.view(), "LINE:12:prog.c\r\n");
}

TEST(SkipBlanks, MarkerPositionsOfEveryLengthEndAtTheirSpace) {
  // Positions around the sixteen-byte blocks the search takes, with and
  // without text after them.
  for (int length : {1, 14, 15, 16, 17, 31, 32, 33, 100}) {
    for (std::string_view after : {"", " a = 1;", "  "}) {
      TestCompiler t;
      std::string position(static_cast<std::size_t>(length), '7');
      t.SetText(Joined({"LINE:", position, after}));
      SkipBlanks(t.c());
      SCOPED_TRACE(std::to_string(length) + " [" + std::string(after) + "]");
      EXPECT_EQ(t->diag.errorLineText.view(), position);
      EXPECT_EQ(t->scan.lastMarkerLine.view(), Joined({"LINE:", position, "\r\n"}));
      EXPECT_EQ(t->diag.reportCount, 0);
    }
  }
}

TEST(SkipBlanks, OverlongMarkerPositionIsReportedAndCut) {
  TestCompiler t;
  std::string position(1500, '9');
  t.SetText(Joined({"LINE:", position, " x = 1;"}));
  EXPECT_EQ(ReadName(t.c(), true), "x");
  EXPECT_EQ(t->diag.reportCount, 1);
  EXPECT_EQ(t->diag.lastCode, kErrTokenLength);
  EXPECT_EQ(t->diag.errorLineText.view(), position.substr(0, 1023));
  EXPECT_EQ(t->scan.lastMarkerLine.view(), Joined({"LINE:", position.substr(0, 1023), "\r\n"}));
}

TEST(SkipBlanks, WordsBeginningWithTheMarkerLetterAreNoMarkers) {
  for (std::string_view text : {"LED = 1;", "  LINE = 2;", "LINEx:1 y"}) {
    TestCompiler t;
    t.SetText(std::string(text));
    SkipBlanks(t.c());
    SCOPED_TRACE(std::string(text));
    EXPECT_EQ(ScanChar(t.c()), 'L');
    EXPECT_TRUE(t->out.emit.empty());
    EXPECT_FALSE(t->scan.markerSeen);
  }
}

TEST(SkipBlanks, MarkerAtEndOfTextStops) {
  TestCompiler t;
  t.SetText("  LINE:7:x.c");
  SkipBlanks(t.c());
  EXPECT_EQ(t->scan.cur.position, 12);
  EXPECT_EQ(t->diag.errorLineText.view(), "7:x.c");
}

TEST(SkipBlanks, ControlAndHighBytesAreBlanks) {
  TestCompiler t;
  std::string text = std::string("\t\r\n") + '\0' + "\x85\xE9" + "x";
  t.SetText(text);
  EXPECT_EQ(ReadName(t.c(), true), "x");
}

TEST(SkipBlanks, LeadingBlanksAndMarkersDoNotCountTowardsTheLimit) {
  TestCompiler t;
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "LINE:" + std::to_string(i) + ":p.c   ";
  text += "x = 1;";
  t.SetText(text);
  EXPECT_EQ(ReadStatementText(t.c()), "x = 1");
  EXPECT_EQ(t->diag.reportCount, 0);
}

TEST(SkipBlanks, LongStatementIsReportedOnce) {
  TestCompiler t;
  std::string text = Joined({"x", std::string(5000, ' '), "LINE:9:p.c = 1;"});
  t.SetText(text);
  ReadName(t.c(), true);
  MatchText(t.c(), "=");  // the marker past the limit stays unconsumed
  MatchText(t.c(), "=");
  EXPECT_EQ(t->diag.reportCount, 1);
  EXPECT_EQ(t->diag.lastCode, 60);
  EXPECT_TRUE(ScanRest(t.c()).starts_with("LINE:9"));
}

TEST(SkipBlanks, LimitPassedWithoutMarkerIsReportedOnce) {
  TestCompiler t;
  t.SetText(Joined({"x", std::string(5000, ' '), "= 1 ", std::string(10, ' '), "+ 2;"}));
  ReadName(t.c(), true);
  MatchText(t.c(), "=");
  ReadNumber(t.c(), true);
  MatchText(t.c(), "+");
  EXPECT_EQ(t->diag.reportCount, 1);
  EXPECT_EQ(t->diag.lastCode, kErrStatementLength);
}

TEST(ReadWord, OverlongNameIsCutAndReported) {
  TestCompiler t;
  std::string name(200, 'a');
  t.SetText(name + ";");
  EXPECT_EQ(ReadWord(t.c(), true).size(), 119u);
  EXPECT_EQ(ScanRest(t.c()), ";");
  EXPECT_EQ(t->diag.lastCode, 65);
}

}  // namespace
}  // namespace stackcc
