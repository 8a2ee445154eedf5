// The one-pass operator marking against the three-pass reference it replaced:
// random texts built from operator names, their fragments, names holding NULL
// and sizeof, digits, blanks and control bytes must mark to the same text, and
// texts near the length limit must fail alike. The lexer's terms against those
// of the marked text cut by the splitter it replaced: the same terms, the same
// reports, the same stops.
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

// The terms of a statement so far and how writing them ended.
struct TermsOutcome {
  int last;
  bool failed;
  std::string terms;
  std::string errors;
};

// One compiler for each side; each round starts from a new expression state.
class LexerDifferentialTest : public ::testing::Test {
 protected:
  // Lexes (or marks and splits) text after the terms of "a+b" when it does not
  // reset the table.
  template <typename Write>
  TermsOutcome Run(TestCompiler& tc, const std::string& text, bool reset, bool references,
                   Write write) {
    tc.ResetExpression();
    Compiler& c = tc.c();
    ExprText before("a+b");
    write(c, before, true, false);
    std::size_t reported = tc.ConsoleText().size();
    ExprText work(text);
    TermsOutcome out;
    out.last = write(c, work, reset, references);
    out.failed = c.expr.failed;
    for (int i = 0; i <= c.expr.lastTermIndex && !out.failed; ++i) {
      const ExprTerm& t = c.expr.terms[i];
      out.terms += std::to_string(t.op) + ":" + std::string(t.text.view()) + ":" +
                   std::to_string(t.ref) + "|";
    }
    out.errors = tc.ConsoleText().substr(reported);
    return out;
  }

  void ExpectSameTerms(const std::string& text, bool reset, bool references) {
    auto lexer = [](Compiler& c, ExprText& t, bool r, bool refs) {
      return LexTerms(c, t.view(), r, refs);
    };
    auto split = [](Compiler& c, ExprText& t, bool r, bool refs) {
      if (!ReferenceMarkOperators(c, t)) {
        c.expr.failed = true;  // the callers stop the statement
        return -1;
      }
      return ReferenceSplitTerms(c, t.view(), r, refs);
    };
    TermsOutcome fast = Run(lexer_, text, reset, references, lexer);
    TermsOutcome slow = Run(reference_, text, reset, references, split);
    ASSERT_EQ(fast.last, slow.last) << "text: " << text;
    ASSERT_EQ(fast.failed, slow.failed) << "text: " << text;
    ASSERT_EQ(fast.terms, slow.terms) << "text: " << text;
    ASSERT_EQ(fast.errors, slow.errors) << "text: " << text;
  }

 private:
  TestCompiler lexer_;
  TestCompiler reference_;
};

TEST_F(LexerDifferentialTest, ShortTextsGiveTheSameTerms) {
  std::mt19937 rng(20261211);
  for (int round = 0; round < 40000; ++round) {
    ExpectSameTerms(RandomText(rng, 12), round % 3 != 0, round % 2 == 0);
  }
}

// Long texts reach the length limit and the 300-term table's end.
TEST_F(LexerDifferentialTest, LongTextsGiveTheSameTermsOrStopAlike) {
  std::mt19937 rng(11);
  for (int round = 0; round < 1500; ++round) {
    ExpectSameTerms(RandomText(rng, 600), round % 2 == 0, round % 3 == 0);
  }
}

// Bracket partners as the lexer pairs them against the walk that searches for
// them, over the whole statement and over ranges inside it.
TEST(BracketPairing, PairsAsTheWalkFindsThem) {
  const char* const pieces[] = {"(", ")", "[", "]", "a", "f(", "x[", "+", " ", "(int)"};
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> count(1, 24);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(pieces)) - 1);
  TestCompiler tc;
  Compiler& c = tc.c();
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (int n = count(rng); n > 0; --n) text += pieces[pick(rng)];
    tc.ResetExpression();
    int last = LexTerms(c, text, true, false);
    if (last < 0) continue;
    std::uniform_int_distribution<int> bound(0, last);
    int lo = bound(rng) / 2;
    int hi = round % 2 == 0 ? last : lo + (last - lo) / 2;
    for (int i = lo; i <= hi; ++i) {
      int op = c.expr.terms[i].op;
      if (op < kOpOpenParen || op > kOpCloseBracket) continue;
      c.expr.rangeFirst = lo;
      c.expr.rangeLast = hi;
      c.expr.failed = false;
      int paired = FindMatchingBracket(c, i);
      int saved = c.expr.terms[i].partner;
      c.expr.terms[i].partner = -1;
      c.expr.failed = false;
      int walked = FindMatchingBracket(c, i);
      c.expr.terms[i].partner = saved;
      ASSERT_EQ(paired, walked) << "text: " << text << " term " << i << " in " << lo << ".." << hi;
    }
  }
}

}  // namespace
}  // namespace stackcc::testing
