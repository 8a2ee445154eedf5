// The one-pass operator marking against the three-pass reference it replaced:
// random texts built from operator names, their fragments, names holding NULL
// and sizeof, digits, blanks and control bytes must mark to the same text, and
// texts near the length limit must fail alike.
#include <random>
#include <string>

#include "expr_test_util.h"
#include "marking_reference.h"

namespace stackcc::testing {
namespace {

const char* const kPieces[] = {
    "NULL",    "sizeof", "isNULL",  "sizeofx", "NUL",    "size", "(int)", "(long)", "(int*)",
    "(long*)", "(char)", "(char*)", "(int",    "char*)", ":",    ":*",    ":&",     "<<=",
    ">>=",     "!==",    "+++",     "---",     "->",     "-->",  "&&&",   "|||",    "==",
    "a",       "b1",     "x_2",     "7",       "42",     " ",    "  ",    "\t",     "\x01",
    "\x90",    "(",      ")",       "[",       "]",      "!",    "~",     "*",      "/",
    "%",       "+",      "-",       "<",       ">",      "&",    "^",     "|",      "?",
    "=",       ",",      "$",       ".",       "@3",     "#",    ";",     "'",      "\"",
};

std::string RandomText(std::mt19937& rng, int maxPieces) {
  std::uniform_int_distribution<int> count(0, maxPieces);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(kPieces)) - 1);
  std::string text;
  for (int n = count(rng); n > 0; --n) text += kPieces[pick(rng)];
  if (text.size() > ExprText::kCapacity) text.resize(ExprText::kCapacity);
  return text;
}

struct Outcome {
  bool ok;
  std::string text;
  std::string errors;
};

// One compiler for every round: the error reports of a round are what its
// marking adds to the console.
class MarkingDifferentialTest : public ::testing::Test {
 protected:
  template <typename Mark>
  Outcome Run(std::string_view input, Mark mark) {
    std::size_t before = tc_.ConsoleText().size();
    ExprText work(input);
    Outcome out;
    out.ok = mark(tc_.c(), work);
    out.text = out.ok ? std::string(work.view()) : std::string();
    out.errors = tc_.ConsoleText().substr(before);
    return out;
  }

  void ExpectSameMarking(const std::string& text) {
    Outcome fast = Run(text, [](Compiler& c, ExprText& t) { return MarkOperators(c, t); });
    Outcome slow = Run(text, [](Compiler& c, ExprText& t) { return ReferenceMarkOperators(c, t); });
    ASSERT_EQ(fast.ok, slow.ok) << "text: " << text;
    ASSERT_EQ(fast.text, slow.text) << "text: " << text;
    ASSERT_EQ(fast.errors, slow.errors) << "text: " << text;
  }

 private:
  TestCompiler tc_;
};

TEST_F(MarkingDifferentialTest, ShortTextsMarkAlike) {
  std::mt19937 rng(20261208);
  for (int round = 0; round < 200000; ++round) ExpectSameMarking(RandomText(rng, 12));
}

TEST_F(MarkingDifferentialTest, LongTextsMarkOrFailAlike) {
  std::mt19937 rng(7);
  for (int round = 0; round < 3000; ++round) ExpectSameMarking(RandomText(rng, 600));
}

// Growth and shrinking near the limit: "++" grows before "(char*)" shrinks, so
// the first pass can overflow although the final text would fit.
TEST_F(MarkingDifferentialTest, LimitReachedMidwayFailsAlike) {
  for (int grow = 300; grow <= 360; grow += 4) {
    for (int shrink = 0; shrink <= 120; shrink += 8) {
      std::string text;
      for (int i = 0; i < grow; ++i) text += "++";
      for (int i = 0; i < shrink && text.size() + 7 <= ExprText::kCapacity; ++i) text += "(char*)";
      ExpectSameMarking(text);
    }
  }
}

}  // namespace
}  // namespace stackcc::testing
