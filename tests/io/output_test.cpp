#include "io/output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/compiler.h"
#include "base/text_helpers.h"
#include "io/diagnostics.h"
#include "io/out_file.h"
#include "test_support.h"

namespace stackcc {
namespace {

using testing::MakeTempDir;
using testing::ReadFile;
using testing::TestCompiler;

TEST(TextHelpers, TrimSpacesOnlyTouchesSpaces) {
  EXPECT_EQ(TrimSpaces("  push 4  "), "push 4");
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(TrimSpaces("\tx\r\n"), "\tx\r\n");
  FixedText<32> text("  a b  ");
  EXPECT_EQ(TrimSpaces(text), "a b");
  EXPECT_EQ(text.view(), "  a b");  // the caller's text loses its trailing spaces
}

TEST(TextHelpers, TrimValueCutsAtFirstControlByte) {
  EXPECT_EQ(TrimValue("  \t 10  \r\n"), "10  ");
  EXPECT_EQ(TrimValue("a\xE9"
                      "b"),
            "a");
  EXPECT_EQ(TrimValue(""), "");
}

TEST(TextHelpers, SpliceReplacesAnywhere) {
  FixedText<64> text("x = N + N;");
  EXPECT_TRUE(SpliceText(text, 4, 1, "100"));
  EXPECT_EQ(text.view(), "x = 100 + N;");
  EXPECT_TRUE(SpliceText(text, 10, 1, ""));
  EXPECT_EQ(text.view(), "x = 100 + ;");
  EXPECT_TRUE(SpliceText(text, 0, 7, "y"));
  EXPECT_EQ(text.view(), "y + ;");

  FixedText<2048> big(std::string(1020, 'a'));
  EXPECT_FALSE(SpliceText(big, 0, 1, "bbbbbb"));
  EXPECT_EQ(big.size(), 1023u);
  FixedText<8> small("abcdef");
  EXPECT_FALSE(small.splice(3, 0, "XYZ"));
  EXPECT_EQ(small.view(), "abcXYZd");
}

TEST(TextHelpers, ReadDecimalReadsLikeTheCLibrary) {
  EXPECT_EQ(ReadDecimal("  -12x"), -12);
  EXPECT_EQ(ReadDecimal("+7"), 7);
  EXPECT_EQ(ReadDecimal("x7"), 0);
  EXPECT_EQ(ReadDecimal(""), 0);
  EXPECT_EQ(ReadDecimal("99999999999999999999999"), -1);
}

class StreamFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempDir();
    ASSERT_TRUE(t_->out.passOut.Open(dir_ + "p.001", false));
    ASSERT_TRUE(t_->out.section2.Open(dir_ + "p.002", false));
    ASSERT_TRUE(t_->diag.errorStream.Open(dir_ + "p.err", false));
  }
  std::string Written(const char* name) {
    t_->out.passOut.Close();
    t_->out.section2.Close();
    t_->diag.errorStream.Close();
    return ReadFile(dir_ + name);
  }
  TestCompiler t_;
  std::string dir_;
};

TEST_F(StreamFixture, WriteCodeLineTrimsAndEndsTheLine) {
  WriteCodeLine(t_.c(), "");
  WriteCodeLine(t_.c(), "  push_parameter 5  ");
  WriteCodeLine(t_.c(), "a:\r\n");
  EXPECT_EQ(Written("p.001"), "\r\npush_parameter 5\r\na:\r\n\r\n");
}

TEST_F(StreamFixture, FlushWritesOnlyANonEmptyBuffer) {
  FlushSection2(t_.c());
  SetEmit(t_.c(), "x:\r\ndd 0\r\n");
  FlushSection2(t_.c());
  EXPECT_TRUE(t_->out.emit.empty());
  FlushSection2(t_.c());
  EXPECT_EQ(Written("p.002"), "x:\r\ndd 0\r\n\r\n");
}

TEST_F(StreamFixture, EmitOverflowIsCutAndReportedOnce) {
  std::string chunk(60000, 'e');
  Emit(t_.c(), chunk);
  Emit(t_.c(), chunk);
  Emit(t_.c(), chunk);
  EXPECT_EQ(t_->out.emit.size(), static_cast<std::size_t>(kEmitCapacity - 1));
  EXPECT_EQ(t_->diag.reportCount, 1);
  EXPECT_EQ(t_->diag.lastCode, kErrOutputFull);
  ClearEmit(t_.c());
  Emit(t_.c(), chunk);
  Emit(t_.c(), chunk);
  EXPECT_EQ(t_->diag.reportCount, 2);
}

TEST_F(StreamFixture, ReportErrorWritesBothFormats) {
  t_->diag.errorLineText.assign("12:prog.c");
  FixedText<80> name("count_func_main");
  ReportError(t_.c(), kErrNotFound, name);
  EXPECT_EQ(name.view(), "count");  // cut in the caller's text
  ReportError(t_.c(), 999, "50%d");
  EXPECT_EQ(t_.ConsoleText(),
            "ERROR in LINE:12:prog.c\r\n Error message: Variable not found\r\n"
            " Auxiliar error data: count\r\n\r\n"
            "ERROR in LINE:12:prog.c\r\n Error message: \r\n Auxiliar error data: 50%d\r\n\r\n");
  EXPECT_EQ(Written("p.err"),
            "12:prog.c\r\nVariable not found;count; Fatal error\r\n"
            "12:prog.c\r\n;50%d; Fatal error\r\n");
  EXPECT_EQ(t_->diag.errorFlag, 1);
}

// Bytes whose position shows in their value, line ends and NULs included.
std::string Pattern(std::size_t n, unsigned seed) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 131 + seed) % 256);
  return s;
}

// Write sequences around the 64 KB buffer: many small pieces, pieces that end
// exactly on its edge, and single writes larger than it, alone or after a
// partly filled buffer. The file holds exactly the bytes written, in order.
struct WritePlan {
  const char* what;
  std::vector<std::size_t> pieces;
};

TEST(OutFile, WritesExactlyTheBytesGiven) {
  std::vector<std::size_t> varying;
  std::size_t total = 0;
  for (unsigned k = 0; total < 200000; ++k) {
    std::size_t n = 1 + (k * 2654435761u >> 7) % 5000;  // 1..5000, spread out
    varying.push_back(n);
    total += n;
  }
  const WritePlan plans[] = {
      {"many pieces of 1..5000 bytes", varying},
      {"one byte at a time past the buffer", std::vector<std::size_t>(70000, 1)},
      {"exactly one buffer", {65536}},
      {"one byte over the buffer", {65537}},
      {"a buffer filled in two, then more", {65535, 1, 1}},
      {"a large write after a partly filled buffer", {100, 300000, 7}},
      {"a large write just short of a full buffer", {65535, 131072}},
      {"empty pieces change nothing", {0, 10, 0, 0, 5}},
  };
  for (const WritePlan& plan : plans) {
    std::string path = MakeTempDir() + "out.bin";
    OutFile file;
    ASSERT_TRUE(file.Open(path, false)) << plan.what;
    std::string expected;
    unsigned seed = 0;
    for (std::size_t n : plan.pieces) {
      std::string piece = Pattern(n, seed++);
      ASSERT_TRUE(file.Write(piece)) << plan.what;
      expected += piece;
    }
    EXPECT_TRUE(file.Close()) << plan.what;
    std::string written = ReadFile(path);
    EXPECT_EQ(written.size(), expected.size()) << plan.what;
    EXPECT_TRUE(written == expected) << plan.what;
  }
}

TEST(OutFile, AppendKeepsTheContentAndCreateEmptiesIt) {
  std::string path = MakeTempDir() + "p.lst";
  testing::WriteFile(path, "old\r\n");
  OutFile file;
  ASSERT_TRUE(file.Open(path, true));
  EXPECT_TRUE(file.Write("new\r\n"));
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(ReadFile(path), "old\r\nnew\r\n");
  std::string big = Pattern(70000, 3);
  ASSERT_TRUE(file.Open(path, true));
  EXPECT_TRUE(file.Write(big));
  EXPECT_TRUE(file.Close());
  EXPECT_TRUE(ReadFile(path) == "old\r\nnew\r\n" + big);
  ASSERT_TRUE(file.Open(path, false));
  EXPECT_TRUE(file.Write("x"));
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(ReadFile(path), "x");
  std::string fresh = MakeTempDir() + "new.lst";
  ASSERT_TRUE(file.Open(fresh, true));  // appending creates a missing file
  EXPECT_TRUE(file.Close());
  EXPECT_TRUE(std::filesystem::exists(fresh));
}

// A file written afresh ends holding exactly the new bytes, whatever it held
// before.
TEST(OutFile, RewrittenFileHoldsOnlyTheNewBytes) {
  struct Rewrite {
    const char* what;
    std::size_t oldSize;  // SIZE_MAX: no file before
    std::size_t newSize;
  };
  const Rewrite cases[] = {
      {"no file before", SIZE_MAX, 10},
      {"empty before", 0, 10},
      {"longer before", 200000, 10},
      {"shorter before", 10, 200000},
      {"same size before", 70000, 70000},
      {"nothing written over a file", 5000, 0},
      {"longer before, several buffers", 500000, 140000},
  };
  for (const Rewrite& k : cases) {
    std::string path = MakeTempDir() + "p.001";
    if (k.oldSize != SIZE_MAX) testing::WriteFile(path, std::string(k.oldSize, 'o'));
    std::string fresh = Pattern(k.newSize, 7);
    OutFile file;
    ASSERT_TRUE(file.Open(path, false)) << k.what;
    EXPECT_TRUE(file.Write(fresh)) << k.what;
    EXPECT_TRUE(file.Close()) << k.what;
    EXPECT_TRUE(ReadFile(path) == fresh) << k.what;
  }
  OutFile device;  // not a regular file: nothing to cut
  ASSERT_TRUE(device.Open("/dev/null", false));
  EXPECT_TRUE(device.Write("x"));
  EXPECT_TRUE(device.Close());
}

TEST(OutFile, ClosedOrUnopenedFileRefusesWritesAndClosesQuietly) {
  OutFile never;
  EXPECT_FALSE(never.IsOpen());
  EXPECT_FALSE(never.Write("x"));
  EXPECT_FALSE(never.Write(Pattern(70000, 1)));
  EXPECT_TRUE(never.Close());

  std::string path = MakeTempDir() + "p.002";
  OutFile file;
  ASSERT_TRUE(file.Open(path, false));
  EXPECT_TRUE(file.Write("kept"));
  EXPECT_TRUE(file.Close());
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(file.Close());  // a second close changes nothing
  EXPECT_FALSE(file.Write("lost"));
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(ReadFile(path), "kept");
}

TEST(OutFile, MissingDirectoryFailsToOpen) {
  std::string dir = MakeTempDir();
  OutFile file;
  EXPECT_FALSE(file.Open(dir + "no/such/dir/p.001", false));
  EXPECT_FALSE(file.Open(dir + "no/p.001", true));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Write("x"));
  EXPECT_TRUE(file.Close());
  EXPECT_FALSE(std::filesystem::exists(dir + "no"));
}

TEST(OutFile, OpeningAnotherFileOrGoingOutOfScopeWritesTheBuffer) {
  std::string dir = MakeTempDir();
  {
    OutFile file;
    ASSERT_TRUE(file.Open(dir + "a", false));
    EXPECT_TRUE(file.Write("first"));
    ASSERT_TRUE(file.Open(dir + "b", false));  // the open file is finished first
    EXPECT_TRUE(file.Write("second"));
  }
  EXPECT_EQ(ReadFile(dir + "a"), "first");
  EXPECT_EQ(ReadFile(dir + "b"), "second");
}

// The files of a folder, for tests that must find no temporary file left.
std::vector<std::string> FolderFiles(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Until it is closed, a file keeps what it held: a reader sees the old file or
// the whole new one, never the new first part joined to the old tail.
TEST(OutFile, FileIsReplacedWholeAtClose) {
  struct Case {
    const char* what;
    bool append;
    bool discard;
    const char* expected;
  } cases[] = {
      {"written afresh", false, false, "new"},
      {"appended", true, false, "old line\nnew"},
      {"discarded", false, true, "old line\n"},
      {"appended, discarded", true, true, "old line\n"},
  };
  for (const Case& k : cases) {
    std::string dir = MakeTempDir();
    testing::WriteFile(dir + "p.001", "old line\n");
    OutFile file;
    ASSERT_TRUE(file.Open(dir + "p.001", k.append)) << k.what;
    // More than a buffer's worth: part of it has reached the disk.
    std::string fresh = "new" + Pattern(200000, 3);
    ASSERT_TRUE(file.Write(fresh)) << k.what;
    EXPECT_EQ(ReadFile(dir + "p.001"), "old line\n") << k.what;
    if (k.discard) {
      file.Discard();
    } else {
      EXPECT_TRUE(file.Close()) << k.what;
    }
    std::string expected = k.expected;
    if (!k.discard) expected.replace(expected.find("new"), 3, fresh);
    EXPECT_TRUE(ReadFile(dir + "p.001") == expected) << k.what;
    EXPECT_EQ(FolderFiles(dir), std::vector<std::string>{"p.001"}) << k.what;
  }
}

// A link keeps being a link: the file it points to gets the new bytes.
TEST(OutFile, LinkedFileIsReplacedThroughItsLink) {
  std::string dir = MakeTempDir();
  std::filesystem::create_directory(dir + "real");
  testing::WriteFile(dir + "real/p.001", "old");
  std::filesystem::create_symlink("real/p.001", dir + "p.001");
  OutFile file;
  ASSERT_TRUE(file.Open(dir + "p.001", false));
  EXPECT_TRUE(file.Write("new"));
  EXPECT_TRUE(file.Close());
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "p.001"));
  EXPECT_EQ(ReadFile(dir + "real/p.001"), "new");
  EXPECT_EQ(FolderFiles(dir + "real"), std::vector<std::string>{"p.001"});
}

// A device that refuses every byte: the failure must be told, not hidden.
TEST(OutFile, FailedWriteIsReported) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  OutFile small;
  ASSERT_TRUE(small.Open("/dev/full", false));
  EXPECT_TRUE(small.Write("buffered only"));
  EXPECT_FALSE(small.Close());

  OutFile large;
  ASSERT_TRUE(large.Open("/dev/full", false));
  EXPECT_FALSE(large.Write(Pattern(70000, 2)));
  EXPECT_FALSE(large.Close());
}

TEST(ErrorTable, HistoricalCodesComeFirstAndCodesAreUnique) {
  const ErrorEntry* table = ErrorTable();
  EXPECT_EQ(table[0].code, 1);
  EXPECT_EQ(table[33].code, 102);
  EXPECT_EQ(std::string(table[16].message), "Bad function size");
  for (int i = 0; i < kErrorSlots; ++i) {
    for (int j = i + 1; j < kErrorSlots; ++j) {
      if (table[i].code != 0) {
        EXPECT_NE(table[i].code, table[j].code) << i << " " << j;
      }
    }
  }
  EXPECT_EQ(ErrorMessage(52), "#ENDIF Without #IF");
  EXPECT_EQ(ErrorMessage(7), "");
}

}  // namespace
}  // namespace stackcc
