// Output and files that fail: a program's output that cannot be written, a
// file that exists but cannot be read, control bytes in traced texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <streambuf>

#include "vm/command.h"
#include "vm_harness.h"

namespace stackvm::testing {
namespace {

// A stream buffer that accepts `room` bytes and then fails every write, as a
// full disk does.
class FullDevice : public std::streambuf {
 public:
  explicit FullDevice(size_t room) : room_(room) {}

 protected:
  int_type overflow(int_type c) override {
    if (room_ == 0) return traits_type::eof();
    --room_;
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    if (static_cast<size_t>(n) > room_) return 0;
    room_ -= static_cast<size_t>(n);
    return n;
  }

 private:
  size_t room_;
};

struct FullCase {
  const char* name;
  std::vector<std::string> body;
  size_t room;
  const char* message;
};

class OutputLost : public ::testing::TestWithParam<FullCase> {};

TEST_P(OutputLost, IsARunTimeError) {
  std::map<std::string, std::string> disk{{"t.001", mainWith(GetParam().body)},
                                          {"t.002", ""},
                                          {"t.003", ""},
                                          {"t.004", ""},
                                          {"Sys10.c", "#include \"stackvm.h\"\n"},
                                          {"stackvm.h", *readFile(STACKVM_HEADER)}};
  FileReader reader = [&disk](const std::string& path) -> std::optional<std::string> {
    auto it = disk.find(path);
    if (it == disk.end()) return std::nullopt;
    return it->second;
  };
  FullDevice device(GetParam().room);
  std::ostream out(&device);
  std::istringstream in;
  std::ostringstream err;
  EXPECT_EQ(runCommand({"t.c"}, {in, out, err}, reader), 70);
  EXPECT_EQ(err.str(), GetParam().message);
}

std::vector<std::string> printInt(const std::string& v) {
  return {"push_parameter " + v, "push_parameter print_int", "gosub"};
}

INSTANTIATE_TEST_SUITE_P(
    Streams, OutputLost,
    ::testing::Values(FullCase{"first_write", printInt("42"), 0,
                               "t.001:4: the program's output could not be written\n"},
                      FullCase{"after_room", printInt("12345"), 3,
                               "t.001:4: the program's output could not be written\n"},
                      FullCase{"before_exit",
                               {"push_parameter 9", "push_parameter print_char", "gosub",
                                "push_parameter 0", "push_parameter exit", "gosub"},
                               0,
                               "t.001:4: the program's output could not be written\n"}),
    [](const ::testing::TestParamInfo<FullCase>& info) { return std::string(info.param.name); });

// A program whose output waits in a buffer until the end is checked there.
TEST(OutputLost, AtTheFinalFlush) {
  class FailsOnFlush : public std::stringbuf {
    int sync() override { return -1; }
  } device;
  std::map<std::string, std::string> disk{{"t.001", mainWith(printInt("7"))},
                                          {"t.002", ""},
                                          {"t.003", ""},
                                          {"t.004", ""},
                                          {"Sys10.c", "#include \"stackvm.h\"\n"},
                                          {"stackvm.h", *readFile(STACKVM_HEADER)}};
  FileReader reader = [&disk](const std::string& path) -> std::optional<std::string> {
    return disk.count(path) ? std::optional(disk.at(path)) : std::nullopt;
  };
  std::ostream out(&device);
  std::istringstream in;
  std::ostringstream err;
  EXPECT_EQ(runCommand({"t.c"}, {in, out, err}, reader), 70);
  EXPECT_EQ(err.str(), "stackvm: the program's output could not be written\n");
}

class Unreadable : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() /
        ("stackvm-unreadable-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  Outcome run(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args{(dir_ / "t.c").string()};
    args.insert(args.end(), extra.begin(), extra.end());
    std::istringstream in;
    std::ostringstream out, err;
    Outcome o;
    o.status = runCommand(args, {in, out, err}, readFile);
    o.out = out.str();
    o.err = err.str();
    return o;
  }
  std::filesystem::path dir_;
};

TEST_F(Unreadable, ADirectoryIsNoFile) {
  write("t.001", mainWith({}));
  write("t.002", "");
  write("t.003", "");
  std::filesystem::create_directory(dir_ / "t.004");
  Outcome o = run();
  EXPECT_EQ(o.status, 71);
  EXPECT_EQ(o.err, (dir_ / "t.004").string() + ": cannot be read: Is a directory\n");
  // Sys10.c and a script the same way; a missing Sys10.c is still no error.
  std::filesystem::remove(dir_ / "t.004");
  write("t.004", "");
  EXPECT_EQ(run().status, 0);
  std::filesystem::create_directory(dir_ / "Sys10.c");
  o = run();
  EXPECT_EQ(o.status, 71);
  EXPECT_NE(o.err.find("Sys10.c: cannot be read: Is a directory"), std::string::npos) << o.err;
  std::filesystem::remove(dir_ / "Sys10.c");
  o = run({"--script", dir_.string()});
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.err.find(": cannot be read: Is a directory"), std::string::npos) << o.err;
}

TEST(Trace, ControlBytesOfInstructionTextsArePrintable) {
  Files f;
  f.code = mainWith({"goto L\x1b[2J", "L\x1b[2J:"});
  Outcome o = runFiles(f, {"--trace"});
  EXPECT_EQ(o.status, 0);
  EXPECT_NE(o.err.find("t.001:2: goto L\\x1b[2J"), std::string::npos) << o.err;
  EXPECT_EQ(o.err.find('\x1b'), std::string::npos) << o.err;
}

}  // namespace
}  // namespace stackvm::testing
