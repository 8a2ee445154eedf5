#include "io/source_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/compiler.h"
#include "test_support.h"

namespace stackcc {
namespace {

using testing::MakeTempDir;
using testing::TestCompiler;
using testing::WriteFile;

// Opens content as level 0 and returns the compiler ready for NextSourceText.
class ReaderFixture : public ::testing::Test {
 protected:
  void Open(const std::string& content, int lastLevel = 0) {
    dir_ = MakeTempDir();
    WriteFile(dir_ + "a.c", content);
    ASSERT_TRUE(OpenBaseLevel(t_.c(), dir_ + "a.c", "a.c"));
    t_->reader.lastLevel = lastLevel;
  }
  std::string Next(int advance, int pass = 1) {
    SourceText text;
    if (!NextSourceText(t_.c(), advance, pass, &text)) return "<end>";
    EXPECT_EQ(text.text[text.length], '\0');
    return std::string(text.text, static_cast<std::size_t>(text.length));
  }
  IncludeLevel& Level(int i) { return t_->reader.levels[i]; }

  TestCompiler t_;
  std::string dir_;
};

TEST_F(ReaderFixture, HandsOutRestAndEndsWhenOnlyBlanksRemain) {
  Open("ab\ncd\n  \n\n");
  EXPECT_EQ(Next(kWindowSize), "ab\ncd\n  \n\n");
  EXPECT_EQ(Next(3), "cd\n  \n\n");
  EXPECT_EQ(Next(2), "<end>");
  EXPECT_EQ(t_->reader.top, -1);
  EXPECT_EQ(t_->reader.lastLevel, -1);
}

TEST_F(ReaderFixture, LastLineWithoutLineFeedIsHandedOut) {
  Open("x = 1;\ny = 2;");
  Next(kWindowSize);
  EXPECT_EQ(Next(7), "y = 2;");
}

TEST_F(ReaderFixture, CrLfArrivesAsLineFeed) {
  Open("a\r\nb\rc\r\n");
  EXPECT_EQ(Next(kWindowSize), "a\nb\rc\n");
}

TEST_F(ReaderFixture, ControlRuleOfEachPass) {
  std::string content = std::string("a\tb\fc\xE9") + '\0' + "d\r\ne\rf\x7F";
  Open(content);
  EXPECT_EQ(Next(kWindowSize, 1), std::string("a b c ") + '\0' + "d\ne\rf\x7F");
  Open(content, -1);
  t_->reader.top = 0;
  EXPECT_EQ(Next(0, 2), "a b c  d e f\x7F");
}

// Blocks of bytes are normalised many at a time: every byte value, at every
// place within a block, must come out as the byte rule says.
TEST_F(ReaderFixture, EveryByteAtEveryPlaceFollowsTheControlRule) {
  std::string content;
  for (int shift = 0; shift < 17; ++shift) {
    content += std::string(static_cast<std::size_t>(shift), 'x');
    for (int b = 0; b < 256; ++b) content += static_cast<char>(b);
  }
  for (int pass : {1, 2}) {
    std::string expected;
    for (char ch : content) expected += NormaliseByte(ch, pass);
    Open(content, pass == 1 ? 0 : -1);
    if (pass == 2) t_->reader.top = 0;
    EXPECT_TRUE(Next(pass == 1 ? kWindowSize : 0, pass) == expected) << "pass " << pass;
  }
}

TEST_F(ReaderFixture, FileOfExactlyOneWindow) {
  std::string content(kWindowSize, 'x');
  Open(content);
  EXPECT_EQ(Next(kWindowSize).size(), static_cast<std::size_t>(kWindowSize));
  EXPECT_EQ(Level(0).endOfFile, 0);
  EXPECT_EQ(Next(1000).size(), static_cast<std::size_t>(kWindowSize - 1000));
  EXPECT_EQ(Level(0).endOfFile, 0);  // not past 1024 yet: no slide
  std::string rest = Next(100);
  EXPECT_EQ(rest.size(), static_cast<std::size_t>(kWindowSize - 1100));
  EXPECT_EQ(Level(0).endOfFile, 1);  // the slide read nothing
  EXPECT_EQ(Level(0).position, 0);
}

TEST_F(ReaderFixture, SlideKeepsTextContinuousAcrossWindows) {
  std::string content;
  for (int i = 0; content.size() < 3 * kWindowSize; ++i) {
    content += 's';
    content += std::to_string(i);
    content += ";\n";
  }
  Open(content);
  std::string seen;
  std::string text = Next(kWindowSize);
  std::size_t offset = 0;
  while (text != "<end>") {
    ASSERT_EQ(text.substr(0, 8), content.substr(offset, 8));
    std::size_t step = text.find('\n', 1500);
    if (step == std::string::npos) step = text.size() - 1;
    offset += step + 1;
    text = Next(static_cast<int>(step + 1));
  }
  EXPECT_EQ(offset, content.size());
}

TEST_F(ReaderFixture, IncludedLevelsPushAndPop) {
  Open("#include\nafter\n");
  WriteFile(dir_ + "empty.c", "");
  WriteFile(dir_ + "inc.c", "inner\n");
  EXPECT_EQ(Next(kWindowSize), "#include\nafter\n");
  // The consumer of the first text pushes a level and used 9 bytes.
  ASSERT_EQ(PushIncludeLevel(t_.c(), dir_ + "inc.c", "inc.c"), PushResult::kOpened);
  EXPECT_EQ(Next(9), "inner\n");
  Level(1).lineCounter = 5;
  // Level 1 is exhausted: the including file resumes after its include line.
  ASSERT_EQ(PushIncludeLevel(t_.c(), dir_ + "empty.c", "empty.c"), PushResult::kOpened);
  EXPECT_EQ(t_->reader.top, 2);
  EXPECT_EQ(Next(6), "after\n");
  EXPECT_EQ(t_->reader.top, 0);
  EXPECT_EQ(Level(1).lineCounter, 1);
  EXPECT_EQ(Level(1).position, 0);
}

TEST_F(ReaderFixture, PushFailsCleanly) {
  Open("x\n");
  EXPECT_EQ(PushIncludeLevel(t_.c(), dir_ + "missing.c", "missing.c"), PushResult::kCannotOpen);
  EXPECT_EQ(t_->reader.top, 0);
  WriteFile(dir_ + "i.c", "i\n");
  for (int i = 1; i < kIncludeLevels; ++i) {
    ASSERT_EQ(PushIncludeLevel(t_.c(), dir_ + "i.c", "i.c"), PushResult::kOpened);
  }
  EXPECT_EQ(PushIncludeLevel(t_.c(), dir_ + "i.c", "i.c"), PushResult::kTooDeep);
  EXPECT_EQ(t_->reader.top, kIncludeLevels - 1);
}

}  // namespace
}  // namespace stackcc

namespace stackcc {
namespace {

std::string Folded(const std::string& raw) {
  std::string expected;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    expected += raw[i];
  }
  return expected;
}

std::string ReadAllInChunks(const std::string& path, int chunk) {
  InFile in;
  if (!in.Open(path)) return "(cannot open)";
  std::string got;
  std::string buf(static_cast<std::size_t>(chunk), '\0');
  for (int n; (n = in.Read(buf.data(), chunk)) > 0;)
    got.append(buf.data(), static_cast<std::size_t>(n));
  return got;
}

TEST(InFile, FoldsCrLfAcrossReadBoundaries) {
  std::string raw;
  unsigned seed = 7;
  for (int i = 0; i < 50000; ++i) {
    seed = seed * 1103515245u + 12345u;
    raw += "ab\r\n"[(seed >> 16) % 4];
  }
  std::string dir = testing::MakeTempDir();
  testing::WriteFile(dir + "f", raw);
  for (int chunk : {1, 2, 3, 7, 1024, 20480}) {
    EXPECT_EQ(ReadAllInChunks(dir + "f", chunk), Folded(raw)) << "chunk " << chunk;
  }
}

// The file is read in blocks of 64 KB: a CR as the last byte of a block, a CR
// LF pair split by a block, lone CRs, and a CR that ends the file.
TEST(InFile, FoldsAcrossTheBlocksOfTheFile) {
  constexpr std::size_t kBlock = 1 << 16;
  struct Case {
    const char* label;
    std::string raw;
  };
  auto filled = [](std::size_t n, std::string tail) { return std::string(n, 'x') + tail; };
  const Case cases[] = {
      {"pair split by the block", filled(kBlock - 1, "\r\nrest\r\n")},
      {"lone CR ends the block", filled(kBlock - 1, "\ryz")},
      {"pair just inside the block", filled(kBlock - 2, "\r\n\r\n")},
      {"CR ends the file", filled(kBlock - 1, "\r")},
      {"CR alone in the file", "\r"},
      {"CRs before the end", filled(3 * kBlock + 5, "\r\r\n\r")},
      {"empty", ""},
  };
  std::string dir = testing::MakeTempDir();
  for (const Case& k : cases) {
    testing::WriteFile(dir + "f", k.raw);
    for (int chunk : {1, 17, 20480, 65536}) {
      EXPECT_EQ(ReadAllInChunks(dir + "f", chunk), Folded(k.raw)) << k.label << ", " << chunk;
    }
  }
}

}  // namespace
}  // namespace stackcc

namespace stackcc {
namespace {

TEST(InFile, RefusesADirectoryAndNoticesAFailedRead) {
  std::string dir = testing::MakeTempDir();
  InFile file;
  EXPECT_FALSE(file.Open(dir));
  if (!std::filesystem::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc/self/mem here";
  ASSERT_TRUE(file.Open("/proc/self/mem"));  // reading it at its start fails
  char buf[64];
  EXPECT_EQ(file.Read(buf, 64), 0);
  EXPECT_TRUE(file.Failed());
}

// Blanks in front of the next text that run past the slide point while the
// file goes on are passed by the reader: the text after them starts near the
// window's start, whole, and the line feeds the reader passed are counted.
TEST_F(ReaderFixture, LongBlankRunsArePassedWithTheirLineFeedsCounted) {
  for (int feeds : {20478, 20479, 20480, 40960}) {
    Open("a;\n" + std::string(static_cast<std::size_t>(feeds), '\n') + "int b;\n");
    EXPECT_EQ(Next(kWindowSize).substr(0, 3), "a;\n");
    std::string next = Next(2);
    std::size_t solid = next.find_first_not_of('\n');
    ASSERT_NE(solid, std::string::npos) << feeds;
    EXPECT_LE(solid, static_cast<std::size_t>(kSlideAfter + 1)) << feeds;
    EXPECT_EQ(next.substr(solid), "int b;\n") << feeds;
    EXPECT_EQ(Level(0).lineCounter + static_cast<int>(solid), 1 + feeds + 1) << feeds;
  }
}

}  // namespace
}  // namespace stackcc
