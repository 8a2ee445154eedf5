// The byte copy and number formatting under every text append, and appends
// whose piece comes from the text itself or only partly fits.
#include "base/fixed_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <cstring>
#include <string>

namespace stackcc {
namespace {

// A buffer of distinct bytes, so a byte taken from the wrong place shows.
void FillPattern(char* buf, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) buf[i] = static_cast<char>(0x21 + (i * 7) % 90);
}

// Every length up to 40 (each copy strategy and its edges), with the target
// before, on and after the source, overlapping or apart. The whole buffer must
// match memmove, so a store outside the target range fails too.
TEST(CopyBytes, MatchesMemmoveForEveryLengthAndOverlap) {
  constexpr std::size_t kSize = 128;
  constexpr std::size_t kSrc = 44;
  for (std::size_t n = 0; n <= 40; ++n) {
    for (int shift = -44; shift <= 44; ++shift) {
      char got[kSize];
      char want[kSize];
      FillPattern(got, kSize);
      FillPattern(want, kSize);
      std::size_t dst = static_cast<std::size_t>(static_cast<int>(kSrc) + shift);
      CopyBytes(got + dst, got + kSrc, n);
      std::memmove(want + dst, want + kSrc, n);
      ASSERT_EQ(std::string(got, kSize), std::string(want, kSize))
          << "n=" << n << " shift=" << shift;
    }
  }
}

TEST(CopyBytes, CopiesBetweenSeparateBuffers) {
  for (std::size_t n = 0; n <= 40; ++n) {
    char src[48];
    char dst[48];
    FillPattern(src, sizeof src);
    std::memset(dst, '.', sizeof dst);
    CopyBytes(dst + 3, src + 5, n);
    std::string want(48, '.');
    want.replace(3, n, std::string(src + 5, n));
    EXPECT_EQ(std::string(dst, sizeof dst), want) << n;
  }
}

TEST(DecimalDigits, EqualsToString) {
  const long long values[] = {0, 7, 9, 10, 42, 99, 100, 101, 999, 1000, 12345, -1, -9, -10, -99,
                              -100, -101, INT_MAX, INT_MIN, LLONG_MAX, LLONG_MIN, LLONG_MIN + 1,
                              // around the eight digits gathered in one word
                              1234, 10000000, 99999999, 100000000, 100000001, 20406080};
  for (long long v : values) {
    char buf[24];
    std::string_view digits = DecimalDigits(buf, v);
    EXPECT_EQ(std::string(digits), std::to_string(v)) << v;
    // The digits lie inside the caller's buffer.
    EXPECT_GE(digits.data(), buf) << v;
    EXPECT_LE(digits.data() + digits.size(), buf + sizeof buf) << v;
  }
}

TEST(DecimalDigits, AppendNumberAddsTheDigitsAfterTheText) {
  const long long values[] = {0, 5, 64, 100, -7, 65536, LLONG_MIN};
  for (long long v : values) {
    FixedText<40> text("n=");
    EXPECT_TRUE(text.append_number(v)) << v;
    EXPECT_EQ(text.view(), "n=" + std::to_string(v)) << v;
  }
  FixedText<4> small("ab");
  EXPECT_FALSE(small.append_number(1234));
  EXPECT_EQ(small.view(), "ab1");
}

// The text holds its used length and a terminator right after it.
template <std::size_t N>
void ExpectTerminated(const FixedText<N>& text, const std::string& where) {
  EXPECT_EQ(std::strlen(text.c_str()), text.size()) << where;
}

TEST(FixedTextAppend, PieceOfTheSameText) {
  // Lengths around each copy strategy: a few bytes, 4..7, 8..16, above 16.
  for (std::size_t length = 2; length <= 40; ++length) {
    for (std::size_t from : {std::size_t{0}, std::size_t{1}, std::size_t{2}, length / 2}) {
      std::string start;
      for (std::size_t i = 0; i < length; ++i) start += static_cast<char>('a' + i % 26);
      FixedText<128> text(start);
      EXPECT_TRUE(text.append(text.view().substr(from)));
      std::string where = std::to_string(length) + "/" + std::to_string(from);
      EXPECT_EQ(text.view(), start + start.substr(from)) << where;
      ExpectTerminated(text, where);
    }
  }
}

TEST(FixedTextAppend, PieceOfTheSameTextThatOnlyPartlyFits) {
  FixedText<12> text("abcdefgh");
  EXPECT_FALSE(text.append(text.view()));
  EXPECT_EQ(text.view(), "abcdefghabc");
  ExpectTerminated(text, "self");
  FixedText<12> full("abcdefghijk");
  EXPECT_FALSE(full.append(full.view().substr(2)));
  EXPECT_EQ(full.view(), "abcdefghijk");
}

// Every start length of a 23-character text with every piece up to 40 bytes:
// what fits is kept, the rest dropped, and only a complete append is true.
TEST(FixedTextAppend, KeepsWhatFitsAndTellsWhetherAllDid) {
  using Text = FixedText<24>;
  const std::string source = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefgh";
  for (std::size_t used = 0; used <= Text::kCapacity; ++used) {
    for (std::size_t piece = 0; piece <= 40; ++piece) {
      Text text(std::string(used, '-'));
      bool ok = text.append(std::string_view(source).substr(0, piece));
      std::string want = (std::string(used, '-') + source.substr(0, piece)).substr(0, 23);
      std::string where = std::to_string(used) + "+" + std::to_string(piece);
      EXPECT_EQ(ok, used + piece <= Text::kCapacity) << where;
      EXPECT_EQ(text.view(), want) << where;
      ExpectTerminated(text, where);
    }
  }
}

// Nothing is written past the text's own bytes, whatever the append.
TEST(FixedTextAppend, NeverWritesPastItsCapacity) {
  struct Guarded {
    FixedText<24> text;
    char guard[32];
  };
  static_assert(offsetof(Guarded, guard) == sizeof(FixedText<24>), "guard right behind the text");
  const std::string piece(40, 'p');
  for (std::size_t used = 0; used <= 23; ++used) {
    for (std::size_t n = 0; n <= 40; ++n) {
      Guarded g;
      std::memset(g.guard, 'G', sizeof g.guard);
      g.text.assign(std::string(used, 'u'));
      g.text.append(std::string_view(piece).substr(0, n));
      g.text.append('c');
      EXPECT_EQ(std::string(g.guard, sizeof g.guard), std::string(32, 'G')) << used << "+" << n;
    }
  }
}

}  // namespace
}  // namespace stackcc
