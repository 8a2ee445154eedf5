// Which argument names a source that is compiled, and what a run does with a
// source or include that cannot be read.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/compiler.h"
#include "whole_run.h"

namespace stackcc {
namespace {

using testing::Inputs;
using testing::RunIn;
using testing::RunOutcome;

constexpr const char* kProgram = "int main()\n{\n  return 0;\n}\n";

struct ArgumentCase {
  const char* label;
  std::vector<std::string> files;  // written with kProgram, beside an empty Sys10.c
  const char* argument;
  int status;
  const char* compiled;  // the <base>.001 written, or "" when nothing is compiled
};

const ArgumentCase kArgumentCases[] = {
    {"plain_base", {"prog.c"}, "prog", 0, "prog.001"},
    {"base_beside_executable", {"prog.c", "prog"}, "prog", 0, "prog.001"},
    {"base_dot_c", {"prog.c"}, "prog.c", 0, "prog.001"},
    {"dot_in_directory_only", {"rel.2/prog.c"}, "rel.2/prog.c", 0, "rel.2/prog.001"},
    {"two_dots_existing", {"motor.v2.c", "motor.c"}, "motor.v2.c", 1, ""},
    {"other_extension_existing", {"prog.txt", "prog.c"}, "prog.txt", 1, ""},
    {"two_dots_missing_file", {"motor.c"}, "motor.v2.c", 0, "motor.001"},
    {"missing_source", {}, "none.c", 1, ""},
};

class ArgumentTest : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ArgumentTest, CompilesOnlyTheFileNamed) {
  const ArgumentCase& tc = GetParam();
  Inputs in;
  for (const std::string& f : tc.files) {
    in[f] = kProgram;
    std::string dir = std::filesystem::path(f).parent_path().string();
    in[dir.empty() ? "Sys10.c" : dir + "/Sys10.c"] = "";
  }
  if (in.empty()) in["Sys10.c"] = "";
  RunOutcome out = RunIn(in, {tc.argument}, [](Compiler&) {});
  EXPECT_EQ(out.status, tc.status) << out.console;
  if (*tc.compiled != '\0') {
    EXPECT_TRUE(out.files.count(tc.compiled)) << tc.compiled;
  } else {
    EXPECT_EQ(out.files.size(), in.size()) << "no file is written";
    EXPECT_EQ(out.console.find("Work done"), std::string::npos);
    EXPECT_NE(out.console.find("Pass 1\r\nError no file to open \n"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Arguments, ArgumentTest, ::testing::ValuesIn(kArgumentCases),
                         [](const auto& info) { return std::string(info.param.label); });

// A source, Sys10.c or include that is a directory, or whose read fails, stops
// the run with status 1 and without "Work done".
TEST(UnreadableFiles, StopTheRunAsFilesThatCannotBeOpened) {
  struct Case {
    const char* label;
    Inputs inputs;
    const char* console;
  };
  std::vector<Case> cases = {
      {"source_directory", {{"prog.c/keep", ""}, {"Sys10.c", ""}}, "Error no file to open"},
      {"sys10_directory", {{"prog.c", kProgram}, {"Sys10.c/keep", ""}}, "No file to open"},
      {"include_directory",
       {{"prog.c", std::string("#include \"sub\"\n") + kProgram}, {"Sys10.c", ""}, {"sub/k", ""}},
       "No file to open"},
  };
  if (std::filesystem::exists("/proc/self/mem")) {
    // Reading this file at its start fails with an I/O error.
    cases.push_back(
        {"include_read_error",
         {{"prog.c", std::string("#include \"/proc/self/mem\"\n") + kProgram}, {"Sys10.c", ""}},
         "No file to open"});
  }
  for (const Case& tc : cases) {
    RunOutcome out = RunIn(tc.inputs, {"prog.c"}, [](Compiler&) {});
    EXPECT_EQ(out.status, 1) << tc.label << "\n" << out.console;
    EXPECT_NE(out.console.find(tc.console), std::string::npos) << tc.label << "\n" << out.console;
    EXPECT_EQ(out.console.find("Work done"), std::string::npos) << tc.label;
  }
}

}  // namespace
}  // namespace stackcc
