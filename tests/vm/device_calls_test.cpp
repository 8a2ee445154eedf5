// Expected device calls in scripts: the expect lines, the end of a script's
// values, and the record of a run's calls.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "vm_harness.h"

namespace stackvm::testing {
namespace {

// main calls sensor(1), put(200), sensor(2) and returns the sum of the readings.
Files devices(const std::string& script) {
  Files f;
  f.code = mainWith({"push_parameter 1", "push_parameter sensor", "gosub", "push_parameter 200",
                     "push_parameter put", "gosub", "push_parameter 2", "push_parameter sensor",
                     "gosub", "add 4"});
  f.sys10 = "#include \"stackvm.h\"\r\nint sensor(int port);\r\nvoid put(char c);\r\n";
  f.extra["s.txt"] = script;
  return f;
}

struct CallCase {
  const char* name;
  std::string script;
  std::vector<std::string> options;
  int status;
  std::string err;  // a part of stderr, or empty for none at all
};

class ExpectedCalls : public ::testing::TestWithParam<CallCase> {};

TEST_P(ExpectedCalls, EndTheRunAtTheFirstDifference) {
  const CallCase& c = GetParam();
  std::vector<std::string> options = {"--script", "s.txt"};
  options.insert(options.end(), c.options.begin(), c.options.end());
  Outcome o = runFiles(devices(c.script), options);
  EXPECT_EQ(o.status, c.status) << o.err;
  if (c.err.empty()) {
    EXPECT_EQ(o.err, "");
  } else {
    EXPECT_NE(o.err.find(c.err), std::string::npos) << o.err;
  }
}

const char* kAll = "sensor 5\nsensor 7\nexpect sensor(1)\nexpect put(200)\nexpect sensor(2)\n";

INSTANTIATE_TEST_SUITE_P(
    Scripts, ExpectedCalls,
    ::testing::Values(
        CallCase{"all_calls_as_expected", kAll, {}, 12, ""},
        CallCase{"char_argument_compared_at_its_width",
                 "sensor 5\nexpect sensor(1)\nexpect put(-56)\nexpect sensor(2)\n",
                 {},
                 5,
                 ""},
        CallCase{"hexadecimal_arguments",
                 "expect sensor(0x1)\nexpect put(0xC8)\nexpect sensor(2)\n",
                 {},
                 0,
                 ""},
        CallCase{"other_argument",
                 "expect sensor(1)\nexpect put(200)\nexpect sensor(3)\n",
                 {},
                 72,
                 "t.001:10: device call sensor(2) where s.txt:3 expects sensor(3)"},
        CallCase{"other_routine",
                 "expect sensor(1)\nexpect sensor(2)\n",
                 {},
                 72,
                 "device call put(-56) where s.txt:2 expects sensor(2)"},
        CallCase{"fewer_arguments",
                 "expect sensor()\n",
                 {},
                 72,
                 "device call sensor(1) where s.txt:1 expects sensor()"},
        CallCase{"extra_call",
                 "expect sensor(1)\nexpect put(200)\n",
                 {},
                 72,
                 "device call sensor(2) after the last expected call (s.txt:2)"},
        CallCase{"missing_call",
                 "expect sensor(1)\nexpect put(200)\nexpect sensor(2)\nexpect sensor(9)\n",
                 {},
                 72,
                 "s.txt:4: the run ended without the expected call sensor(9)"},
        CallCase{"no_expect_lines_no_check", "sensor 5\n", {}, 5, ""},
        CallCase{"until_script_ends",
                 "sensor 5\n",
                 {"--until-script-ends"},
                 0,
                 "t.001:10: sensor(2) has no value in the script: the run ends here"},
        CallCase{"until_script_ends_still_checks_missing_calls",
                 "sensor 5\nexpect sensor(1)\nexpect put(200)\nexpect sensor(2)\nexpect put(1)\n",
                 {"--until-script-ends"},
                 72,
                 "the run ended without the expected call put(1)"},
        CallCase{"until_script_ends_after_the_last_expected_call",
                 "sensor 5\nexpect sensor(1)\nexpect put(200)\n",
                 {"--until-script-ends"},
                 0,
                 "t.001:10: sensor(2) has no value in the script: the run ends here"},
        CallCase{"until_script_ends_still_checks_the_ending_call",
                 "sensor 5\nexpect sensor(1)\nexpect put(200)\nexpect sensor(3)\n",
                 {"--until-script-ends"},
                 72,
                 "device call sensor(2) where s.txt:4 expects sensor(3)"},
        CallCase{"extra_call_with_a_value_left",
                 "sensor 5\nsensor 6\nexpect sensor(1)\nexpect put(200)\n",
                 {"--until-script-ends"},
                 72,
                 "device call sensor(2) after the last expected call (s.txt:4)"},
        CallCase{"strict_script",
                 "sensor 5\n",
                 {"--strict-script"},
                 70,
                 "t.001:10: sensor(2) has no value in the script"},
        CallCase{
            "strict_script_with_every_value", "sensor 5\nsensor 6\n", {"--strict-script"}, 11, ""},
        CallCase{"trace_calls_alone",
                 "sensor 5\n",
                 {"--trace", "calls"},
                 5,
                 "sensor(1)\nput(-56)\nsensor(2)\n"},
        CallCase{"malformed_expect",
                 "expect sensor(1,)\n",
                 {},
                 2,
                 "s.txt:1: expected 'expect name(arg, ...)'"},
        CallCase{"expect_without_parenthesis_end", "expect sensor(1\n", {}, 2, "s.txt:1: expected"},
        CallCase{"expect_with_bad_name", "expect 9x(1)\n", {}, 2, "s.txt:1: expected"},
        CallCase{"expect_with_bad_number", "expect sensor(1x)\n", {}, 2, "s.txt:1: expected"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExpectedCalls, TraceCallsWritesWhatTraceWritesForCalls) {
  Outcome calls = runFiles(devices("sensor 5\n"), {"--script", "s.txt", "--trace=calls"});
  Outcome full = runFiles(devices("sensor 5\n"), {"--script", "s.txt", "--trace"});
  std::istringstream lines(full.err);
  std::string onlyCalls;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("t.001") == std::string::npos) onlyCalls += line + "\n";
  }
  EXPECT_EQ(calls.err, onlyCalls);
}

// A recorded run replays as a script that checks every call.
TEST(ExpectedCalls, RecordReplays) {
  const std::string path = ::testing::TempDir() + "stackvm_record.txt";
  Outcome first =
      runFiles(devices("sensor 5\nsensor 7\n"), {"--script", "s.txt", "--record", path});
  ASSERT_EQ(first.status, 12) << first.err;
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "# the device calls of a run of t, with their results\n"
            "expect sensor(1)\nsensor 5\nexpect put(-56)\nexpect sensor(2)\nsensor 7\n");
  Outcome again = runFiles(devices(text.str()), {"--script", "s.txt"});
  EXPECT_EQ(again.status, 12) << again.err;
  std::remove(path.c_str());
}

// A run ended by --until-script-ends replays with the same option: the call
// that ended it is no extra call.
TEST(ExpectedCalls, RecordUntilScriptEndsReplays) {
  const std::string path = ::testing::TempDir() + "stackvm_record_until.txt";
  const std::vector<std::string> until = {"--script", "s.txt", "--until-script-ends"};
  std::vector<std::string> recording = until;
  recording.insert(recording.end(), {"--record", path});
  Outcome first = runFiles(devices("sensor 5\n"), recording);
  ASSERT_EQ(first.status, 0) << first.err;
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  Outcome again = runFiles(devices(text.str()), until);
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.err, first.err);
  std::remove(path.c_str());
}

TEST(ExpectedCalls, UnwritableRecordIsAUsageError) {
  Outcome o = runFiles(devices(""), {"--script", "s.txt", "--record", "/nonexistent/dir/r.txt"});
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.err.find("--record /nonexistent/dir/r.txt: cannot be written"), std::string::npos);
}

TEST(ExpectedCalls, NotUnderTheDebugger) {
  Outcome o = runFiles(devices(""), {"--debug", "--coverage", "c.info"});
  EXPECT_EQ(o.status, 2);
}

}  // namespace
}  // namespace stackvm::testing
