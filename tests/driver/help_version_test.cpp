// --help, -h and --version alone print and exit 0 without touching a file; every
// other command line names a source, as it always has (a source called --help
// is compiled by giving its directory).
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "case_name.h"
#include "stackcc/version.h"
#include "whole_run.h"

namespace stackcc {
namespace {

using testing::Inputs;
using testing::RunIn;
using testing::RunOutcome;

constexpr const char* kProgram = "int x;\nvoid main() {\n  x = 1;\n}\n";

// Sources whose names look like options, beside an empty Sys10.c.
Inputs OptionLikeSources() {
  return {{"Sys10.c", ""},
          {"--help.c", kProgram},
          {"-h.c", kProgram},
          {"--version.c", kProgram},
          {"--HELP.c", kProgram}};
}

enum class Outcome {
  kHelp,      // the usage text on the console, status 0, no file written
  kVersion,   // "stackcc <version>", status 0, no file written
  kCompiled,  // <written>.001 exists, status 0
  kNoSource,  // status 1: <written>.c is not there
  kUsage,     // status 2: no argument at all
};

struct InfoCase {
  std::vector<std::string> args;
  Outcome outcome;
  const char* written;  // the base of the files a compilation writes
};

// Shown in test names and failures: the command line after "stackcc".
void PrintTo(const InfoCase& tc, std::ostream* os) {
  *os << "stackcc";
  for (const std::string& arg : tc.args) *os << " '" << arg << "'";
}

class InformationTest : public ::testing::TestWithParam<InfoCase> {};

void ExpectNothingWritten(const RunOutcome& run) {
  EXPECT_EQ(run.files.size(), OptionLikeSources().size());
}

TEST_P(InformationTest, AnswersOrCompiles) {
  const InfoCase& tc = GetParam();
  RunOutcome run = RunIn(OptionLikeSources(), tc.args, [](Compiler&) {});
  switch (tc.outcome) {
    case Outcome::kHelp:
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(run.console.rfind("usage: stackcc <source>[.c] [-d] [-c<suffix>]\n", 0), 0u);
      ExpectNothingWritten(run);
      break;
    case Outcome::kVersion:
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(run.console,
                "stackcc " STACKCC_VERSION " (language " STACKCC_LANGUAGE_VERSION ")\n");
      ExpectNothingWritten(run);
      break;
    case Outcome::kCompiled:
      EXPECT_EQ(run.status, 0) << run.console;
      EXPECT_EQ(run.files.count(std::string(tc.written) + ".001"), 1u);
      EXPECT_NE(run.console.find("Work done"), std::string::npos);
      break;
    case Outcome::kNoSource:
      EXPECT_EQ(run.status, 1);
      EXPECT_NE(run.console.find("Error no file to open"), std::string::npos);
      EXPECT_EQ(run.console.find("usage:"), std::string::npos);
      break;
    case Outcome::kUsage:
      EXPECT_EQ(run.status, 2);
      EXPECT_EQ(run.console, "");
      ExpectNothingWritten(run);
      break;
  }
}

const InfoCase kInfoCases[] = {
    {{"--help"}, Outcome::kHelp, ""},
    {{"-h"}, Outcome::kHelp, ""},
    {{"--version"}, Outcome::kVersion, ""},
    {{}, Outcome::kUsage, ""},
    // Anything else names a source, as before.
    {{"./--help"}, Outcome::kCompiled, "--help"},
    {{"./--help.c", "-d"}, Outcome::kCompiled, "--help"},
    {{"--help.c"}, Outcome::kCompiled, "--help"},
    {{"--help", "-d"}, Outcome::kCompiled, "--help"},
    {{"-h", "/D"}, Outcome::kCompiled, "-h"},
    {{"--version", "-cV"}, Outcome::kCompiled, "--version"},
    {{"--HELP"}, Outcome::kCompiled, "--HELP"},
    {{"-H"}, Outcome::kNoSource, ""},
    {{"-help"}, Outcome::kNoSource, ""},
    {{"-v"}, Outcome::kNoSource, ""},
    {{"-V"}, Outcome::kNoSource, ""},
    {{"--version="}, Outcome::kNoSource, ""},
    {{"--help "}, Outcome::kNoSource, ""},
    {{""}, Outcome::kNoSource, ""},
};

INSTANTIATE_TEST_SUITE_P(CommandLine, InformationTest, ::testing::ValuesIn(kInfoCases),
                         [](const auto& info) {
                           std::string line;
                           for (const std::string& arg : info.param.args) line += " " + arg;
                           return stackcc::testing::CaseName(line, info.index);
                         });

TEST(Help, NamesEveryOptionFileAndStatus) {
  RunOutcome run = RunIn({}, {"--help"}, [](Compiler&) {});
  const char* const kMentions[] = {
      "-d",
      "-c<suffix>",
      "--help",
      "-h",
      "--version",
      "./--help",
      "Sys10.c",
      "<base>.000",
      ".001",
      ".002",
      ".003",
      ".004",
      ".err",
      ".lst",
      ".h",
      "funct1.txt",
      "-I DIR",
      "-MD",
      "-MF FILE",
      "-MT TARGET",
      "-MP",
      "-Wall",
      "-Werror",
      "-fdiagnostics-format=gcc",
      "-g ",
      "<base>.dbg",
      "Exit status: 0",
      "1 errors",
      "2 no source",
      "255",
      "man stackcc",
      "share/doc/stackcc",
  };
  for (const char* mention : kMentions) {
    EXPECT_NE(run.console.find(mention), std::string::npos) << mention;
  }
  for (std::size_t start = 0, end; start < run.console.size(); start = end + 1) {
    end = run.console.find('\n', start);
    ASSERT_NE(end, std::string::npos) << "the text ends in a line break";
    EXPECT_LE(end - start, 80u) << run.console.substr(start, end - start);
  }
}

TEST(Version, IsTheProjectVersion) {
  std::string version = STACKCC_VERSION;
  int dots = 0;
  for (char ch : version) {
    if (ch == '.') {
      ++dots;
    } else {
      EXPECT_TRUE(ch >= '0' && ch <= '9') << version;
    }
  }
  EXPECT_EQ(dots, 2) << version;
}

}  // namespace
}  // namespace stackcc
