// Loading: numbers, null_last_line, labels, markers, data layout, and every
// load error with its position.
#include "vm/loader.h"

#include <gtest/gtest.h>

#include <sstream>

#include "../support/case_name.h"
#include "vm/errors.h"
#include "vm/numbers.h"
#include "vm_harness.h"

namespace stackvm::testing {
namespace {

struct NumberCase {
  const char* text;
  bool valid;
  uint32_t low32;
  bool fits32;  // within -2^31 .. 2^32-1
};

class Numbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(Numbers, Parse) {
  const NumberCase& c = GetParam();
  std::optional<ParsedNumber> n = parseNumber(c.text);
  ASSERT_EQ(n.has_value(), c.valid) << c.text;
  if (!n) return;
  EXPECT_EQ(n->low32(), c.low32) << c.text;
  EXPECT_EQ(n->within(INT32_MIN, UINT32_MAX), c.fits32) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Operands, Numbers,
    ::testing::Values(NumberCase{"0", true, 0, true}, NumberCase{"061", true, 61, true},
                      NumberCase{"0x1F", true, 31, true}, NumberCase{"0XfF", true, 255, true},
                      NumberCase{"-5", true, 0xFFFFFFFBu, true}, NumberCase{"10L", true, 10, true},
                      NumberCase{"7uL", true, 7, true},
                      NumberCase{"4294967295", true, 0xFFFFFFFFu, true},
                      NumberCase{"4294967296", true, 0, false},
                      NumberCase{"-2147483648", true, 0x80000000u, true},
                      NumberCase{"-2147483649", true, 0x7FFFFFFFu, false},
                      NumberCase{"99999999999999999999999", true, 4135583743u, false},
                      NumberCase{"", false, 0, false}, NumberCase{"-", false, 0, false},
                      NumberCase{"0x", false, 0, false}, NumberCase{"12a", false, 0, false},
                      NumberCase{"L", false, 0, false}, NumberCase{"--1", false, 0, false}),
    [](const auto& info) { return stackcc::testing::CaseName(info.param.text, info.index); });

// A load that fails: the message with its position.
struct ErrorCase {
  const char* name;
  Files files;
  const char* message;
};

Files code(const std::vector<std::string>& text) {
  Files f;
  f.code = lines(text);
  return f;
}

Files withData(const std::vector<std::string>& data) {
  Files f;
  f.code = mainWith({});
  f.data4 = lines(data);
  return f;
}

Files mainInData() {
  Files f = withData({"main:", "dd 0"});
  f.code = lines({"start:", "return"});
  return f;
}

Files missing(const std::string& name) {
  Files f = code({"main:", "return"});
  f.missing.push_back(name);
  return f;
}

class LoadErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(LoadErrors, NameFileAndLine) {
  Outcome o = runFiles(GetParam().files);
  EXPECT_EQ(o.status, 71);
  EXPECT_EQ(o.out, "");
  EXPECT_NE(o.err.find(GetParam().message), std::string::npos) << o.err;
}

Files sysWith(const std::string& sys10, const std::vector<std::string>& body) {
  Files f;
  f.code = mainWith(body);
  f.sys10 = sys10;
  return f;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LoadErrors,
    ::testing::Values(
        ErrorCase{"cancel_first", code({"null_last_line", "main:", "return"}),
                  "t.001:1: null_last_line without an instruction before it"},
        ErrorCase{"cancel_after_label",
                  code({"main:", "push_parameter 1", "here:", "null_last_line", "return"}),
                  "t.001:4: null_last_line after a label"},
        ErrorCase{"cancel_twice_reaches_label",
                  code({"main:", "push_parameter 1", "L:", "push_parameter 2", "null_last_line",
                        "null_last_line"}),
                  "t.001:6: null_last_line after a label"},
        ErrorCase{"duplicate_label", code({"main:", "main:", "return"}),
                  "t.001:2: label main is already defined at t.001:1"},
        ErrorCase{"duplicate_across_files", withData({"main:", "dd 0"}),
                  "t.004:2: label main is already defined at t.001:1"},
        ErrorCase{"unknown_mnemonic", code({"main:", "jump_far 3"}),
                  "t.001:2: unknown instruction 'jump_far'"},
        ErrorCase{"missing_operand", code({"main:", "push_parameter"}),
                  "t.001:2: push_parameter takes 1 operand"},
        ErrorCase{"extra_operand", code({"main:", "return 1"}), "t.001:2: return takes 0 operand"},
        ErrorCase{"bad_number", code({"main:", "push_parameter 12ab"}),
                  "t.001:2: malformed number '12ab'"},
        ErrorCase{"bad_width", code({"main:", "peek x"}), "t.001:2: malformed width 'x'"},
        ErrorCase{"zero_width", code({"main:", "dup 0"}), "t.001:2: malformed width '0'"},
        ErrorCase{"huge_width", code({"main:", "peek 2000000"}), "t.001:2: malformed width"},
        ErrorCase{"arithmetic_structure_size", code({"main:", "add 12"}),
                  "t.001:2: arithmetic at a structure size (12)"},
        ErrorCase{"change_size_structure", code({"main:", "CHANGE_SIZE 4 12"}),
                  "t.001:2: arithmetic at a structure size (12)"},
        ErrorCase{"undefined_label", code({"main:", "goto nowhere"}),
                  "t.001:2: goto nowhere: no such label"},
        ErrorCase{"undefined_routine", code({"main:", "push_parameter blink", "gosub"}),
                  "t.001:2: blink is neither defined in the program nor declared in Sys10.c"},
        ErrorCase{"data_in_code", code({"main:", "db 1"}), "t.001:2: data line in the code file"},
        ErrorCase{"instruction_in_data", withData({"peek 4"}),
                  "t.004:2: instruction in a data file"},
        ErrorCase{"bad_data_line", withData({"dw 4"}), "t.004:2: unknown data line 'dw'"},
        ErrorCase{"bad_data_value", withData({"db x"}), "t.004:2: malformed data value 'x'"},
        ErrorCase{"bad_dup", withData({"db 0 DUP -3"}), "t.004:2: malformed DUP count '-3'"},
        ErrorCase{"too_much_data", withData({"db 0 DUP 70000000"}), "t.004:2: malformed DUP count"},
        ErrorCase{"data_limit", withData({"dd 0 DUP 60000000"}), "t.004:2: the data exceed 64 MiB"},
        ErrorCase{"malformed_data_line", withData({"db 1 2"}), "t.004:2: malformed data line"},
        ErrorCase{"bad_marker", code({"LINE:x:p.c", "main:", "return"}),
                  "t.001:1: malformed position marker"},
        ErrorCase{"bad_label", code({"a:b:", "main:", "return"}), "t.001:1: malformed label"},
        ErrorCase{"no_main", code({"start:", "return"}), "t.001: no function main"},
        ErrorCase{"main_is_data", mainInData(), "t.001: no function main"},
        ErrorCase{"builtin_declared_otherwise",
                  sysWith("void print_int(char c);\n", {"push_parameter print_int", "gosub"}),
                  "Sys10.c:1: print_int is declared as (1) -> 0 bytes, but stackvm's print_int is "
                  "(4) -> 0 bytes"},
        ErrorCase{"variadic_routine",
                  sysWith("int log(int n, ...);\n", {"push_parameter log", "gosub"}),
                  "Sys10.c:1: log: a host routine with a variable argument list"},
        ErrorCase{"structure_parameter",
                  sysWith("void show(struct point p);\n", {"push_parameter show", "gosub"}),
                  "Sys10.c:1: show: a host routine cannot take a structure value"},
        ErrorCase{"missing_data_file", missing("t.003"), "t.003: cannot be read"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST(LoadErrors, JumpToDataLabel) {
  Files f = withData({"x:", "dd 0"});
  f.code = mainWith({"goto x"});
  Outcome o = runFiles(f);
  EXPECT_EQ(o.status, 71);
  EXPECT_EQ(o.err, "t.001:2: goto x: a data label\n");
}

TEST(UsageErrors, MissingScript) {
  Files f = code({"main:", "return"});
  Outcome o = runFiles(f, {"--script", "nothing.txt"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err, "stackvm: nothing.txt: cannot be read\nTry 'stackvm --help'.\n");
}

// Successful loads, checked on the Program.
Program loadCode(const std::vector<std::string>& text, const std::vector<std::string>& data = {},
                 std::string* warnings = nullptr) {
  CodeFiles files;
  files.base = "t";
  files.texts[0] = lines(text);
  files.texts[3] = lines(data);
  std::ostringstream out;
  Prototypes none;
  Program p = loadProgram(files, none, out);
  if (warnings) *warnings = out.str();
  return p;
}

TEST(Loading, CancelRemovesTheNearestInstructionAcrossBlankLinesAndMarkers) {
  Program p = loadCode({"main:", "push_parameter 1", "", "LINE:4:p.c", "null_last_line", "return"});
  ASSERT_EQ(p.instructionCount(), 1u);
  EXPECT_EQ(p.code[0].op, Op::ret);
}

TEST(Loading, ChainedCancelsRemoveEarlierInstructions) {
  Program p = loadCode({"main:", "push_parameter x", "peek 4", "null_last_line", "poke 4", "drop 4",
                        "null_last_line", "return"},
                       {"x:", "dd 0"});
  ASSERT_EQ(p.instructionCount(), 3u);
  EXPECT_EQ(p.code[0].op, Op::push);
  EXPECT_EQ(p.code[0].a, kDataBase);  // the reference of the cancelled peek is gone, push's stays
  EXPECT_EQ(p.code[1].op, Op::poke4);
}

TEST(Loading, LabelBeforeCancelledInstructionMovesToTheNext) {
  Program p = loadCode({"main:", "L:", "push_parameter 1", "null_last_line", "goto L", "return"});
  ASSERT_EQ(p.instructionCount(), 2u);
  EXPECT_EQ(p.code[0].op, Op::jump);
  EXPECT_EQ(p.code[0].a, 0u);
}

TEST(Loading, LabelsResolveToCodeDataAndHostRanges) {
  CodeFiles files;
  files.base = "t";
  files.texts[0] = lines({"main:", "push_parameter main", "push_parameter d", "push_parameter e",
                          "push_parameter dev", "end_function_func_main:", "return"});
  files.texts[1] = lines({"INI_BLOCK_002:", "db 1", "d:", "dd 2"});
  files.texts[2] = lines({"e:", "db 0 DUP 3 "});
  Prototypes protos{{"dev", Prototype{{4}, 4, false, "Sys10.c:1"}}};
  std::ostringstream warnings;
  Program p = loadProgram(files, protos, warnings);
  EXPECT_EQ(p.code[0].a, kCodeBase);
  EXPECT_EQ(p.code[1].a, kDataBase + 1);
  EXPECT_EQ(p.code[2].a, kDataBase + 5);
  EXPECT_EQ(p.code[3].a, kHostBase);
  EXPECT_EQ(p.data.size(), 8u);
  EXPECT_EQ(warnings.str(), "");
}

TEST(Loading, MarkersGivePositionsAndCodeLinesOtherwise) {
  Program p = loadCode({"main:", "push_parameter 1", "LINE:7:prog.c", "", "drop 4", "return"});
  EXPECT_EQ(describePosition(p, 0), "t.001:2");
  EXPECT_EQ(describePosition(p, 1), "prog.c:7");
}

TEST(Loading, LineFeedsAloneAndSpacesAreAccepted) {
  CodeFiles files;
  files.base = "t";
  files.texts[0] = "main:\n  push_parameter   5 \t\nreturn";
  std::ostringstream w;
  Program p = loadProgram(files, {}, w);
  ASSERT_EQ(p.instructionCount(), 2u);
  EXPECT_EQ(p.code[0].a, 5u);
}

struct WarningCase {
  const char* name;
  std::vector<std::string> code;
  std::vector<std::string> data;
  const char* warning;
};

class LoadWarnings : public ::testing::TestWithParam<WarningCase> {};

TEST_P(LoadWarnings, AreReported) {
  std::string warnings;
  loadCode(GetParam().code, GetParam().data, &warnings);
  EXPECT_EQ(warnings, GetParam().warning);
}

const std::vector<std::string> kMain{"main:", "end_function_func_main:", "return"};

INSTANTIATE_TEST_SUITE_P(
    Values, LoadWarnings,
    ::testing::Values(
        WarningCase{"db_above_byte",
                    kMain,
                    {"db 300"},
                    "t.004:1: warning: 300 does not fit in a byte; taken modulo\n"},
        WarningCase{"db_below_byte",
                    kMain,
                    {"db -129"},
                    "t.004:1: warning: -129 does not fit in a byte; taken modulo\n"},
        WarningCase{"db_in_range", kMain, {"db -128", "db 255"}, ""},
        WarningCase{"dd_above",
                    kMain,
                    {"dd 4294967296"},
                    "t.004:1: warning: 4294967296 does not fit in 4 bytes; taken modulo\n"},
        WarningCase{"push_above",
                    {"main:", "push_parameter 5000000000", "end_function_func_main:", "return"},
                    {},
                    "t.001:2: warning: 5000000000 does not fit in 32 bits; taken modulo 2^32\n"},
        WarningCase{"code_outside_functions",
                    {"LINE:3:p.c", "push_parameter 1", "drop 4",
                     "main:", "end_function_func_main:", "return", "push_parameter 2"},
                    {},
                    "p.c:3: warning: code outside every function never runs\n"
                    "p.c:3: warning: code outside every function never runs\n"}),
    [](const ::testing::TestParamInfo<WarningCase>& info) { return std::string(info.param.name); });

TEST(Loading, DataValuesWrapModuloTheirWidth) {
  Program p = loadCode(kMain, {"db 300", "db -1", "dd -2", "db 7 DUP 2"});
  EXPECT_EQ(p.data, (std::vector<uint8_t>{44, 255, 0xFE, 0xFF, 0xFF, 0xFF, 7, 7}));
}

}  // namespace
}  // namespace stackvm::testing

namespace stackvm::testing {
namespace {

TEST(LoadErrors, ControlBytesInNamesArePrintable) {
  Files f;
  f.code = lines({"LINE:3:a" + std::string(1, '\0') + "b", "main:", "goto x\x01y"});
  Outcome o = runFiles(f);
  EXPECT_EQ(o.status, 71);
  EXPECT_EQ(o.err, "a\\x00b:3: goto x\\x01y: no such label (t.001:3)\n");
  // The trace names positions too.
  f.code = lines({"main:",
                  "LINE:7:a\x02"
                  "b",
                  "push_parameter 0", "return"});
  o = runFiles(f, {"--trace"});
  EXPECT_NE(o.err.find("a\\x02b:7: push_parameter 0"), std::string::npos) << o.err;
  EXPECT_EQ(o.err.find('\x02'), std::string::npos) << o.err;
}

}  // namespace
}  // namespace stackvm::testing
