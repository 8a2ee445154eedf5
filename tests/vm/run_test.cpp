// Runs: host calls, device scripts, exit statuses, and every run-time error.
#include <gtest/gtest.h>

#include "stackcc/version.h"
#include "vm_harness.h"

namespace stackvm::testing {
namespace {

std::vector<std::string> callOf(const std::string& routine, const std::vector<std::string>& args) {
  std::vector<std::string> body;
  for (auto it = args.rbegin(); it != args.rend(); ++it) body.push_back("push_parameter " + *it);
  body.push_back("push_parameter " + routine);
  body.push_back("gosub");
  return body;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct HostCase {
  const char* name;
  std::vector<std::string> body;
  std::string input;
  const char* out;
  int status;
};

class HostCalls : public ::testing::TestWithParam<HostCase> {};

TEST_P(HostCalls, PrintReadAndExit) {
  Files f;
  f.code = mainWith(GetParam().body);
  f.data3 = lines({"text:", "db 104", "db 105", "db 0", "db 33"});
  Outcome o = runFiles(f, {}, GetParam().input);
  EXPECT_EQ(o.out, GetParam().out);
  EXPECT_EQ(o.status, GetParam().status);
  EXPECT_EQ(o.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Builtins, HostCalls,
    ::testing::Values(
        HostCase{"print_int_converts_to_int", callOf("print_int", {"-7"}), "", "-7", 0},
        HostCase{"print_char_cuts_to_byte", callOf("print_char", {"321"}), "", "A", 0},
        HostCase{"print_long",
                 {"push_parameter -1", "CHANGE_SIZE 4 8", "push_parameter print_long", "gosub"},
                 "",
                 "-1",
                 0},
        HostCase{"print_string_to_zero", callOf("print_string", {"text"}), "", "hi", 0},
        HostCase{"first_parameter_on_top", callOf("print_int", {"1"}) + callOf("print_int", {"2"}),
                 "", "12", 0},
        HostCase{"read_int_skips_to_number",
                 {"push_parameter read_int", "gosub", "push_parameter print_int", "gosub"},
                 "abc -42x",
                 "-42",
                 0},
        HostCase{"read_int_wraps",
                 {"push_parameter read_int", "gosub", "push_parameter print_int", "gosub"},
                 "4294967297",
                 "1",
                 0},
        HostCase{"read_int_at_end",
                 {"push_parameter read_int", "gosub", "push_parameter print_int", "gosub"},
                 " - ",
                 "0",
                 0},
        HostCase{"read_int_twice",
                 {"push_parameter read_int", "gosub", "push_parameter read_int", "gosub", "sub 4",
                  "push_parameter print_int", "gosub"},
                 "10 +3",
                 "7",
                 0},
        HostCase{"read_char_then_end",
                 {"push_parameter read_char", "gosub", "push_parameter read_char", "gosub", "add 4",
                  "push_parameter print_int", "gosub"},
                 "a",
                 "96",
                 0},
        HostCase{"exit_ends_run", callOf("exit", {"259"}) + callOf("print_int", {"1"}), "", "", 3},
        HostCase{"main_value_is_status", {"push_parameter 300"}, "", "", 44},
        HostCase{"empty_stack_is_status_zero", {}, "", "", 0}),
    [](const ::testing::TestParamInfo<HostCase>& info) { return std::string(info.param.name); });

Files deviceProgram() {
  Files f;
  f.sys10 =
      "#include \"stackvm.h\"\n// the board\nint sensor(int port, char mode);\n/* a\n comment */ "
      "void lamp(long on);\n";
  f.code =
      mainWith(callOf("sensor", {"5", "300"}) + callOf("print_int", {}) +
               callOf("sensor", {"6", "1"}) + callOf("print_int", {}) + callOf("lamp", {"-1"}));
  return f;
}

TEST(DeviceRoutines, ReturnScriptValuesInOrderThenZero) {
  Files f = deviceProgram();
  f.extra["s.txt"] = "# values\n\nsensor 0x10\r\nlamp 99\n";
  Outcome o = runFiles(f, {"--script", "s.txt"});
  EXPECT_EQ(o.out, "160");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
}

TEST(DeviceRoutines, TraceLogsEachCallWithConvertedArguments) {
  Files f = deviceProgram();
  f.extra["s.txt"] = "sensor -3\n";
  Outcome o = runFiles(f, {"--script", "s.txt", "--trace"});
  EXPECT_EQ(o.out, "-30");
  EXPECT_NE(o.err.find("sensor(5, 44)\n"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("lamp(-1)\n"), std::string::npos);
  EXPECT_NE(o.err.find("t.001:2: push_parameter 300    [top 300, 4 bytes]\n"), std::string::npos);
}

TEST(DeviceRoutines, ScriptNamesNoRoutineOfTheProgram) {
  Files f = deviceProgram();
  f.extra["s.txt"] = "sensr 1\n";
  Outcome o = runFiles(f, {"--script", "s.txt"});
  EXPECT_EQ(o.err, "s.txt: warning: sensr is no device routine the program calls\n");
}

struct UsageCase {
  const char* name;
  std::vector<std::string> options;
  std::string script;
  const char* message;
};

class UsageErrors : public ::testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, EndWithStatusTwo) {
  Files f = deviceProgram();
  f.data4 = lines({"count:", "dd 5"});
  f.extra["s.txt"] = GetParam().script;
  Outcome o = runFiles(f, GetParam().options);
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.err.find(GetParam().message), std::string::npos) << o.err;
  EXPECT_EQ(o.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, UsageErrors,
    ::testing::Values(
        UsageCase{"script_without_value",
                  {"--script", "s.txt"},
                  "sensor\n",
                  "s.txt:1: expected 'name value'"},
        UsageCase{
            "script_bad_number", {"--script", "s.txt"}, "# x\nsensor 12x\n", "s.txt:2: expected"},
        UsageCase{
            "script_octal_like_suffix", {"--script", "s.txt"}, "sensor 5L\n", "s.txt:1: expected"},
        UsageCase{"unknown_option", {"--fast"}, "", "unknown option --fast"},
        UsageCase{"steps_not_a_number", {"--steps", "many"}, "", "--steps many"},
        UsageCase{"steps_missing", {"--steps"}, "", "--steps needs a value"},
        UsageCase{"commands_missing", {"--commands"}, "", "--commands needs a value"},
        UsageCase{
            "commands_unreadable", {"--commands", "none.txt"}, "", "none.txt: cannot be read"},
        UsageCase{
            "dap_with_program", {"--dap"}, "", "--dap takes the program from the launch request"},
        UsageCase{
            "dap_and_debug", {"--dap", "--debug"}, "", "--dap and --debug exclude each other"},
        UsageCase{"dump_unknown_label", {"--dump", "nothing"}, "", "--dump nothing: no data label"},
        UsageCase{"dump_bad_width", {"--dump", "count:2"}, "", "the width is 1, 4 or 8"},
        UsageCase{"two_programs", {"other.c"}, "", "more than one program named"}),
    [](const ::testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

TEST(Command, DumpPrintsGlobalsAtExitAtTheirWidths) {
  Files f;
  f.data4 = lines({"count:", "dd -5", "flag:", "db 200"});
  f.code = mainWith({"push_parameter 7", "push_parameter count", "poke 4"});
  Outcome o = runFiles(f, {"--dump", "count", "flag:1", "--dump", "count:8"});
  EXPECT_EQ(o.err, "count = 7\nflag = -56\ncount = (past the end of the data)\n");
}

TEST(Command, HelpVersionAndNoProgram) {
  Outcome help = runFiles({}, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: stackvm"), std::string::npos);
  Outcome version = runFiles({}, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "stackvm " STACKCC_VERSION " (language " STACKCC_LANGUAGE_VERSION ")\n");
}

struct RunErrorCase {
  const char* name;
  std::vector<std::string> body;
  const char* message;
};

class RunErrors : public ::testing::TestWithParam<RunErrorCase> {};

TEST_P(RunErrors, StopWithStatusSeventy) {
  Files f;
  f.code =
      lines({"LINE:9:p.c", "main:"}) + mainWith(GetParam().body).substr(7) +
      lines({"helper:", "push_parameter helper", "gosub", "end_function_func_helper:", "return"});
  f.data4 = lines({"x:", "dd 0"});
  Outcome o = runFiles(f, {"--steps", "1000000"});
  EXPECT_EQ(o.status, 70);
  EXPECT_NE(o.err.find(GetParam().message), std::string::npos) << o.err;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RunErrors,
    ::testing::Values(
        RunErrorCase{"division_by_zero",
                     {"push_parameter 1", "push_parameter 0", "div 4"},
                     "p.c:9: division by zero"},
        RunErrorCase{"modulo_by_zero",
                     {"push_parameter 1", "push_parameter 256", "mod 1"},
                     "p.c:9: division by zero"},
        RunErrorCase{"pop_empty", {"drop 4"}, "p.c:9: pop of an empty value stack"},
        RunErrorCase{"pop_empty_in_jump", {"goto_true main"}, "pop of an empty value stack"},
        RunErrorCase{"write_outside",
                     {"push_parameter 1", "push_parameter 0x1002", "poke 4"},
                     "p.c:9: write of 4 bytes at 0x00001002 outside the data"},
        RunErrorCase{"write_code",
                     {"push_parameter 1", "push_parameter main", "poke 1"},
                     "write of 1 bytes at 0x40000000, an address of code"},
        RunErrorCase{"read_code",
                     {"push_parameter print_int", "peek 4"},
                     "read of 4 bytes at 0x7f000000, an address of code"},
        RunErrorCase{
            "call_data", {"push_parameter x", "gosub"}, "call of 0x00001000, a data address"},
        RunErrorCase{"call_null", {"push_parameter 0", "gosub"}, "call of address 0"},
        RunErrorCase{"call_elsewhere",
                     {"push_parameter 0x30000000", "gosub"},
                     "call of 0x30000000, which is no function"},
        RunErrorCase{
            "stack_overflow", {"top:", "push_parameter 1", "goto top"}, "value stack overflow"},
        RunErrorCase{"structure_stack_overflow",
                     {"top:", "push_parameter x", "peek 100000", "goto top"},
                     "value stack overflow"},
        RunErrorCase{"return_stack_overflow",
                     {"push_parameter helper", "gosub"},
                     "return stack overflow (more than 10000 calls)"},
        RunErrorCase{
            "step_limit", {"top:", "goto top"}, "step limit reached after 1000000 instructions"},
        RunErrorCase{"past_the_end",
                     {"push_parameter 0x40000006", "gosub"},
                     "the code runs past its last instruction"}),
    [](const ::testing::TestParamInfo<RunErrorCase>& info) {
      return std::string(info.param.name);
    });

TEST(RunWarnings, ReadOutsideTheDataGivesZeroWithOneWarningPerLine) {
  Files f;
  f.code = lines({"main:", "LINE:3:p.c", "push_parameter 0", "peek 4", "push_parameter 0x2000",
                  "peek 4", "add 4", "push_parameter 0x2000", "peek 12", "drop 12", "LINE:4:p.c",
                  "push_parameter 0x1000", "peek 8", "add 8", "push_parameter print_long", "gosub",
                  "end_function_func_main:", "return"});
  f.data4 = lines({"x:", "dd 3"});
  Outcome o = runFiles(f);
  EXPECT_EQ(o.out, "0");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err,
            "p.c:3: warning: read of 4 bytes at 0x00000000 outside the data gives 0\n"
            "p.c:4: warning: read of 8 bytes at 0x00001000 outside the data gives 0\n");
}

TEST(RunWarnings, RecursionIsReportedOnceAndRuns) {
  Files f;
  f.code = lines({"main:",
                  "push_parameter 3",
                  "push_parameter down",
                  "gosub",
                  "push_parameter print_int",
                  "gosub",
                  "end_function_func_main:",
                  "return",
                  "down:",
                  "LINE:12:p.c",
                  "dup 4",
                  "goto_false out",
                  "push_parameter 1",
                  "sub 4",
                  "push_parameter down",
                  "gosub",
                  "push_parameter 10",
                  "add 4",
                  "out:",
                  "end_function_func_down:",
                  "return"});
  Outcome o = runFiles(f);
  EXPECT_EQ(o.out, "30");
  EXPECT_EQ(o.err,
            "p.c:12: warning: down is called again before it returns: its locals are shared by "
            "every activation\n");
}

TEST(RunWarnings, FunctionValueCanBeStoredAndCalled) {
  Files f;
  f.code = lines({"main:", "push_parameter f", "push_parameter h", "poke 4", "push_parameter h",
                  "peek 4", "gosub", "end_function_func_main:", "return", "f:", "push_parameter 42",
                  "return", "end_function_func_f:", "push_parameter 0", "return"});
  f.data4 = lines({"h:", "dd 0"});
  Outcome o = runFiles(f);
  EXPECT_EQ(o.status, 42);
}

}  // namespace
}  // namespace stackvm::testing
