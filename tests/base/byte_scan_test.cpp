// The block-wise byte searches against a byte-by-byte reading of the same
// text, at every start and end around the sixteen-byte blocks.
#include "base/byte_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace stackcc {
namespace {

// Texts whose interesting bytes fall before, on and after block edges.
std::vector<std::string> Texts() {
  std::string plain(40, 'a');
  std::vector<std::string> texts;
  for (int at : {0, 1, 14, 15, 16, 17, 31, 32, 39}) {
    for (char ch : {';', '}', '\n', 'M', '\x80', '\xFF', ' ', '\0', 'Z', '_', '/'}) {
      std::string t = plain;
      t[static_cast<std::size_t>(at)] = ch;
      texts.push_back(t);
    }
  }
  std::string blanks = "  \t\n \r\n\x01\x90\n            \n  \n    \n  x\n";
  texts.push_back(blanks);
  texts.push_back(std::string(35, '\n'));
  texts.push_back(std::string(35, ' ') + "\n");
  return texts;
}

int SlowEither(const std::string& t, int from, int end, char a, char b) {
  while (from < end && t[static_cast<std::size_t>(from)] != a &&
         t[static_cast<std::size_t>(from)] != b) {
    ++from;
  }
  return from;
}

int SlowInRange(const std::string& t, int from, int end, unsigned char lo, unsigned char hi) {
  for (; from < end; ++from) {
    auto ch = static_cast<unsigned char>(t[static_cast<std::size_t>(from)]);
    if (ch >= lo && ch <= hi) return from;
  }
  return end;
}

TEST(ByteScan, AgreesWithAByteByByteSearchEverywhere) {
  struct Range {
    unsigned char lo, hi;
  };
  const Range ranges[] = {{'L', 'S'}, {'Z', 'a'}, {0x00, 0x1F}, {0x80, 0xFF}, {'M', 'M'}, {1, 0}};
  for (const std::string& t : Texts()) {
    int size = static_cast<int>(t.size());
    for (int from = 0; from <= size; ++from) {
      for (int end : {from, from + 1, size - 1, size}) {
        if (end < from || end > size) continue;
        // Loads bounded by the text, and by a buffer that goes on past it.
        for (int readable : {0, size}) {
          EXPECT_EQ(FindEitherByte(t.data(), from, end, ';', '}', readable),
                    SlowEither(t, from, end, ';', '}'));
          // The line reader's stops: a line end, a slash, the NUL.
          EXPECT_EQ(
              FindOneOfThree(t.data(), from, end, '\n', '/', '\0', readable),
              std::min(SlowEither(t, from, end, '\n', '/'), SlowEither(t, from, end, '\0', '\0')));
          for (const Range& r : ranges) {
            EXPECT_EQ(FindByteInRange(t.data(), from, end, r.lo, r.hi, readable),
                      SlowInRange(t, from, end, r.lo, r.hi));
          }
        }
      }
    }
  }
}

TEST(ByteScan, SkipsBlanksAndReportsEveryLineFeedPassed) {
  for (const std::string& t : Texts()) {
    int size = static_cast<int>(t.size());
    for (int from = 0; from <= size; ++from) {
      std::vector<int> feeds;
      int stop = SkipBlankBytes(t.data(), from, size, [&](int at) { feeds.push_back(at); });
      int slowStop = from;
      std::vector<int> slowFeeds;
      while (slowStop < size &&
             static_cast<signed char>(t[static_cast<std::size_t>(slowStop)]) <= 0x20) {
        if (t[static_cast<std::size_t>(slowStop)] == '\n') slowFeeds.push_back(slowStop);
        ++slowStop;
      }
      EXPECT_EQ(stop, slowStop) << "from " << from;
      EXPECT_EQ(feeds, slowFeeds) << "from " << from;
    }
  }
}

}  // namespace
}  // namespace stackcc
