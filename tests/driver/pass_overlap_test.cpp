// Pass 2 started while Pass 1 runs must leave exactly what the passes leave one
// after the other: every file, the console and the exit status. Each case runs
// both ways, in fresh directories, with the overlap forced on however small the
// source is.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "driver/compiler.h"
#include "driver/out_file.h"
#include "test_support.h"
#include "whole_run.h"

namespace stackcc {
namespace {

namespace fs = std::filesystem;
using testing::ExpectSameRuns;
using testing::ForEachGoldenCase;
using testing::Inputs;
using testing::MakeTempDir;
using testing::ReadFile;
using testing::RunIn;
using testing::RunOutcome;
using testing::TestCompiler;
using testing::WriteFile;

void Alone(Compiler& c) {
  c.driver.overlapPasses = false;
}

void Overlapped(Compiler& c) {
  c.driver.overlapPasses = true;
  c.driver.overlapMinimumSource = 0;
}

void ExpectSameBothWays(const std::string& label, const Inputs& inputs,
                        const std::vector<std::string>& args) {
  ExpectSameRuns(label, inputs, args, Alone, Overlapped);
}

TEST(PassOverlap, EveryGoldenCaseLeavesTheSameFiles) {
  EXPECT_GT(ForEachGoldenCase(ExpectSameBothWays), 40);
}

std::string Body(int statements, const std::string& extra) {
  std::string s = "int g;\nint t[8];\nint f(int a) {\n  int b;\n";
  for (int i = 0; i < statements; ++i) {
    s += "  b = a + " + std::to_string(i % 97) + ";\n";
    s += "  if (b > 3) {\n    t[1] = b;\n  }\n";
    if (i == statements / 2) s += extra;
  }
  return s + "  return (b);\n}\n";
}

struct LargeCase {
  const char* label;
  std::string source;
  std::string system;
  std::vector<std::string> args;
};

// Programs long enough that Pass 2 is well under way when Pass 1 ends, with
// the events that cross from one pass to the other.
TEST(PassOverlap, LargeProgramsLeaveTheSameFiles) {
  const LargeCase cases[] = {
      {"clean", Body(3000, ""), "", {"prog.c"}},
      {"clean with markers", Body(3000, ""), "", {"prog.c", "-d"}},
      {"error in pass 2, no markers", Body(3000, "  b = nothere + 1;\n"), "", {"prog.c"}},
      {"error in pass 2, markers", Body(3000, "  b = nothere + 1;\n"), "", {"prog.c", "-d"}},
      {"errors in both passes", Body(3000, "#ENDIF\n  b = nothere;\n"), "", {"prog.c", "-d"}},
      {"pass 1 stops late", Body(3000, "#include \"missing.c\"\n"), "", {"prog.c", "-d"}},
      {"string literals", Body(3000, "  b = \"text\";\n"), "", {"prog.c", "-d"}},
      {"first statement fails before any marker", "x = ;\n" + Body(3000, ""), "", {"prog.c", "-d"}},
      {"system file with errors", Body(3000, ""), "int q = ;\n", {"prog.c", "-d"}},
  };
  for (const LargeCase& k : cases) {
    ExpectSameBothWays(k.label, {{"prog.c", k.source}, {"Sys10.c", k.system}}, k.args);
  }
}

TEST(PassOverlap, AnUnwritableOutputStopsAsAlone) {
  std::map<std::string, std::string> inputs{{"prog.c", Body(2000, "")}, {"Sys10.c", ""}};
  // A directory where a pass-2 file should go cannot be opened for writing.
  inputs["prog.003/keep"] = "";
  ExpectSameBothWays("prog.003 is a directory", inputs, {"prog.c"});
}

// A rebuild writes over the files of the last run: a shorter program must leave
// the same files as in a fresh directory, passes overlapped or not.
TEST(PassOverlap, ARebuildOverLongerFilesLeavesTheSameFiles) {
  for (bool overlap : {false, true}) {
    std::string dir = MakeTempDir();
    auto run = [&](const std::string& source) {
      WriteFile(dir + "prog.c", source);
      WriteFile(dir + "Sys10.c", "");
      fs::path home = fs::current_path();
      fs::current_path(dir);
      TestCompiler t;
      t->driver.overlapPasses = overlap;
      t->driver.overlapMinimumSource = 0;
      const char* argv[] = {"stackcc", "prog.c", "-d"};
      int status = RunCompiler(t.c(), 3, argv);
      fs::current_path(home);
      return status;
    };
    run(Body(3000, "  b = nothere;\n"));
    std::string small = Body(20, "");
    int status = run(small);
    RunOutcome fresh =
        RunIn({{"prog.c", small}, {"Sys10.c", ""}}, {"prog.c", "-d"}, overlap ? Overlapped : Alone);
    EXPECT_EQ(status, fresh.status);
    for (const auto& [name, content] : fresh.files) {
      EXPECT_TRUE(ReadFile(dir + name) == content) << name << (overlap ? " overlapped" : "");
    }
  }
}

TEST(HeldOutFile, KeepsEverythingUntilReleasedAndThenWritesItInOrder) {
  std::string dir = MakeTempDir();
  OutFile f;
  f.Hold();
  std::string expected;
  for (int i = 0; i < 30000; ++i) {
    std::string line = "line " + std::to_string(i) + "\r\n";
    ASSERT_TRUE(f.Write(line));
    expected += line;
  }
  EXPECT_EQ(f.HeldBytes(), expected.size());
  EXPECT_FALSE(fs::exists(dir + "out.txt"));
  ASSERT_TRUE(f.Release(dir + "out.txt", false));
  EXPECT_EQ(ReadFile(dir + "out.txt"), "");  // opened, nothing written yet
  ASSERT_TRUE(f.WriteKept());
  ASSERT_TRUE(f.Write("tail\r\n"));
  ASSERT_TRUE(f.Close());
  EXPECT_EQ(ReadFile(dir + "out.txt"), expected + "tail\r\n");
}

// Kept bytes at and around whole buffers: nothing, exactly one, one and a byte.
TEST(HeldOutFile, KeepsBufferSizedPiecesExactly) {
  for (std::size_t size :
       {std::size_t{0}, std::size_t{65536}, std::size_t{65537}, std::size_t{131072}}) {
    std::string dir = MakeTempDir();
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>('a' + i % 23);
    OutFile f;
    f.Hold();
    ASSERT_TRUE(f.Write(bytes));
    EXPECT_EQ(f.HeldBytes(), size);
    ASSERT_TRUE(f.Release(dir + "out.txt", false));
    ASSERT_TRUE(f.WriteKept());
    ASSERT_TRUE(f.Close());
    EXPECT_TRUE(ReadFile(dir + "out.txt") == bytes) << size;
  }
}

TEST(HeldOutFile, ClosedWithoutReleaseLeavesNoFile) {
  std::string dir = MakeTempDir();
  WriteFile(dir + "old.txt", "old");
  OutFile f;
  f.Hold();
  ASSERT_TRUE(f.Write(std::string(200000, 'x')));
  EXPECT_TRUE(f.Close());
  EXPECT_EQ(ReadFile(dir + "old.txt"), "old");
  EXPECT_FALSE(f.Release(dir + "old.txt", false));
  EXPECT_EQ(ReadFile(dir + "old.txt"), "old");
}

// A reader that follows a file another thread writes sees the whole file,
// line ends folded, whatever the pieces it was written in.
class Publisher final : public GrowingSource {
 public:
  std::size_t AwaitBytes(std::size_t wanted) override {
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return published >= wanted || done; });
    return published;
  }
  void Publish(std::size_t total, bool end) {
    {
      std::lock_guard<std::mutex> lock(m);
      published = total;
      done = end;
    }
    cv.notify_all();
  }
  std::mutex m;
  std::condition_variable cv;
  std::size_t published = 0;
  bool done = false;
};

// Read while written: the reader sees the whole file, line ends folded,
// whatever pieces it is written in, and nothing of what an older, longer file
// held beyond the bytes written so far.
TEST(FollowedInFile, ReadsAFileWhileItIsWritten) {
  for (bool olderLongerFile : {false, true}) {
    std::string dir = MakeTempDir();
    std::string path = dir + "grow.txt";
    std::string text;
    for (int i = 0; i < 20000; ++i) {
      text += 'x';
      text += std::to_string(i);
      text += "\r\n";
    }
    WriteFile(path, olderLongerFile ? std::string(text.size() * 2, 'o') : "");
    Publisher source;
    InFile in;
    ASSERT_TRUE(in.Open(path));
    in.Follow(&source);
    std::thread writer([&] {
      std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
      // Pieces that cut CR LF pairs apart.
      for (std::size_t at = 0; at < text.size(); at += 4093) {
        out << text.substr(at, 4093);
        out.flush();
        source.Publish(std::min(text.size(), at + 4093), false);
      }
      source.Publish(text.size(), true);
    });
    std::string got;
    char buf[1000];
    for (int n; (n = in.Read(buf, sizeof buf)) > 0;) got.append(buf, static_cast<std::size_t>(n));
    writer.join();
    std::string folded;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
      folded += text[i];
    }
    EXPECT_TRUE(got == folded) << (olderLongerFile ? "over an older file" : "fresh file");
  }
}

}  // namespace
}  // namespace stackcc
