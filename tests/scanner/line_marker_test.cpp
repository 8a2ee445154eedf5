#include "scanner/line_marker.h"

#include <gtest/gtest.h>

#include <string>

#include "base/compiler.h"
#include "io/output.h"
#include "scanner/scanner.h"
#include "test_support.h"

namespace stackcc {
namespace {

using testing::TestCompiler;

struct NameCase {
  const char* label;
  std::string name;
  std::string written;  // as a marker of <base>.000 holds it
  std::string shown;    // as reports and the code file show it
};

const NameCase kNames[] = {
    {"plain", "prog.c", "prog.c", "prog.c"},
    {"backslashes_plain", "C:\\src\\prog.c", "C:\\src\\prog.c", "C:\\src\\prog.c"},
    {"quote_inside_plain", "a\"b.c", "a\"b.c", "a\"b.c"},
    {"blanks", "my dir/my prog.c", "\"my dir/my prog.c\"", "my dir/my prog.c"},
    {"two_blanks_and_trailing", "a  b .c ", "\"a  b .c \"", "a  b .c "},
    {"leading_quote", "\"q.c", "\"\\\"q.c\"", "\"q.c"},
    {"backslash_with_blank", "C:\\my dir\\p.c", "\"C:\\\\my dir\\\\p.c\"", "C:\\my dir\\p.c"},
    {"tab_and_line_feed", "t\tx\n.c", "\"t\\x09x\\x0A.c\"", "t?x?.c"},
    {"bytes_from_0x80", "caf\xC3\xA9.c", "\"caf\\xC3\\xA9.c\"", "caf\xC3\xA9.c"},
};

class MarkerNameTest : public ::testing::TestWithParam<NameCase> {};

// Pass 1 writes the name; pass 2 (line ends read as spaces, bytes below the
// space and from 0x80 as spaces) ends the marker after it and shows it.
TEST_P(MarkerNameTest, WrittenNameEndsWhereItEndsAndShowsWhole) {
  const NameCase& tc = GetParam();
  TestCompiler t;
  ClearEmit(t.c());
  EmitMarkerName(t.c(), tc.name);
  std::string written(t->out.emit.view());
  EXPECT_EQ(written, tc.written);
  std::string pass2 = "12:" + written + " int x; ";
  for (char& ch : pass2) {
    if (static_cast<signed char>(ch) < 0x20) ch = ' ';
  }
  int end = MarkerPositionEnd(pass2.data(), 0, static_cast<int>(pass2.size()));
  EXPECT_EQ(end, static_cast<int>(3 + written.size()));
  FixedText<kErrorLineCapacity> shown;
  AssignShownPosition(shown, std::string_view(pass2).substr(0, static_cast<std::size_t>(end)));
  EXPECT_EQ(std::string(shown.view()), "12:" + tc.shown);
}

INSTANTIATE_TEST_SUITE_P(Names, MarkerNameTest, ::testing::ValuesIn(kNames),
                         [](const auto& info) { return std::string(info.param.label); });

// Texts that only look like quoted markers end at the first blank, as before.
TEST(MarkerPosition, WithoutAClosingQuoteOrDigitsEndsAtTheFirstBlank) {
  for (std::string text : {"12:\"open name x", "x:\"a b\" y", ":\"a b\" y", "12:a\"b c\" d"}) {
    int end = MarkerPositionEnd(text.data(), 0, static_cast<int>(text.size()));
    EXPECT_EQ(end, static_cast<int>(text.find(' '))) << text;
  }
}

}  // namespace
}  // namespace stackcc
