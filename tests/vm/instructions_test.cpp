// Each instruction at each width: a main leaves one value, print_long shows it.
#include <gtest/gtest.h>

#include "vm_harness.h"

namespace stackvm::testing {
namespace {

struct Case {
  const char* name;
  std::vector<std::string> body;
  const char* printed;
};

std::vector<std::string> binary(const std::string& a, const std::string& b, const std::string& op,
                                int width) {
  std::vector<std::string> body{"push_parameter " + a};
  if (width != 4) body.push_back("CHANGE_SIZE 4 " + std::to_string(width));
  body.push_back("push_parameter " + b);
  if (width != 4) body.push_back("CHANGE_SIZE 4 " + std::to_string(width));
  body.push_back(op + " " + std::to_string(width));
  return body;
}

// 64-bit operands built as hi * 2^32 + lo from 4-byte pushes.
std::vector<std::string> wide(const std::string& hi, const std::string& lo) {
  return {"push_parameter " + hi,
          "CHANGE_SIZE 4 8",
          "push_parameter 32",
          "shift_left 8",
          "push_parameter " + lo,
          "CHANGE_SIZE 4 8",
          "push_parameter 0xFFFFFFFF",
          "CHANGE_SIZE 4 8",
          "push_parameter 32",
          "shift_right 8",
          "and 8",
          "or 8"};
}

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class Arithmetic : public ::testing::TestWithParam<Case> {};

TEST_P(Arithmetic, PrintsItsValue) {
  Outcome o = runValue(GetParam().body);
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.out, GetParam().printed);
  EXPECT_EQ(o.status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, Arithmetic,
    ::testing::Values(
        Case{"add1_wraps", binary("100", "100", "add", 1), "-56"},
        Case{"add4_wraps", binary("2147483647", "1", "add", 4), "-2147483648"},
        Case{"add8_carries", binary("2147483647", "1", "add", 8), "2147483648"},
        Case{"sub1", binary("-100", "100", "sub", 1), "56"},
        Case{"sub4", binary("3", "10", "sub", 4), "-7"},
        Case{"sub8", binary("-2147483648", "1", "sub", 8), "-2147483649"},
        Case{"mul1", binary("16", "16", "mul", 1), "0"},
        Case{"mul4", binary("65536", "65536", "mul", 4), "0"},
        Case{"mul8", binary("65536", "65536", "mul", 8), "4294967296"},
        Case{"div1_truncates", binary("-7", "2", "div", 1), "-3"},
        Case{"div4_truncates", binary("7", "-2", "div", 4), "-3"},
        Case{"div4_least_by_minus_one_wraps", binary("-2147483648", "-1", "div", 4), "-2147483648"},
        Case{"div1_least_by_minus_one_wraps", binary("-128", "-1", "div", 1), "-128"},
        Case{"div8", binary("-9", "4", "div", 8), "-2"},
        Case{"div8_least_by_minus_one_wraps",
             concat(concat(wide("-2147483648", "0"), {"push_parameter -1", "CHANGE_SIZE 4 8"}),
                    {"div 8"}),
             "-9223372036854775808"},
        Case{"mod1", binary("-7", "3", "mod", 1), "-1"},
        Case{"mod4", binary("7", "-3", "mod", 4), "1"},
        Case{"mod4_by_minus_one", binary("-2147483648", "-1", "mod", 4), "0"},
        Case{"mod8", binary("-9", "4", "mod", 8), "-1"},
        Case{"and1", binary("0x1F0", "0xFF", "and", 1), "-16"},
        Case{"and4", binary("12", "10", "and", 4), "8"},
        Case{"or4", binary("12", "10", "or", 4), "14"},
        Case{"or1", binary("0x80", "1", "or", 1), "-127"},
        Case{"xor4", binary("12", "10", "xor", 4), "6"},
        Case{"xor8", binary("-1", "1", "xor", 8), "-2"},
        Case{"shift_left1", binary("1", "7", "shift_left", 1), "-128"},
        Case{"shift_left1_out", binary("1", "8", "shift_left", 1), "0"},
        Case{"shift_left4", binary("3", "4", "shift_left", 4), "48"},
        Case{"shift_left4_at_width", binary("1", "32", "shift_left", 4), "0"},
        Case{"shift_left4_negative_count", binary("1", "-1", "shift_left", 4), "0"},
        Case{"shift_left8", binary("1", "40", "shift_left", 8), "1099511627776"},
        Case{"shift_left8_out", binary("1", "64", "shift_left", 8), "0"},
        Case{"shift_right1_arithmetic", binary("-128", "3", "shift_right", 1), "-16"},
        Case{"shift_right4_arithmetic", binary("-64", "2", "shift_right", 4), "-16"},
        Case{"shift_right4_out_negative", binary("-5", "32", "shift_right", 4), "-1"},
        Case{"shift_right4_out_positive", binary("5", "99", "shift_right", 4), "0"},
        Case{"shift_right8_negative_count", binary("-5", "-1", "shift_right", 8), "-1"},
        Case{"shift_right8", binary("-1024", "3", "shift_right", 8), "-128"},
        Case{"less1_signed", binary("200", "1", "less", 1), "1"},
        Case{"less4", binary("-1", "0", "less", 4), "1"},
        Case{"less8", binary("5", "5", "less", 8), "0"},
        Case{"lessorequal4", binary("5", "5", "lessorequal", 4), "1"},
        Case{"lessorequal1", binary("6", "5", "lessorequal", 1), "0"},
        Case{"greater4", binary("6", "5", "greater", 4), "1"},
        Case{"greater8", binary("-6", "5", "greater", 8), "0"},
        Case{"greaterorequal1", binary("-1", "-1", "greaterorequal", 1), "1"},
        Case{"greaterorequal4", binary("-2", "-1", "greaterorequal", 4), "0"},
        Case{"equal1_after_cut", binary("256", "0", "equal", 1), "1"},
        Case{"equal4", binary("256", "0", "equal", 4), "0"},
        Case{"equal8", binary("7", "7", "equal", 8), "1"},
        Case{"notequal4", binary("7", "7", "notequal", 4), "0"},
        Case{"notequal1", binary("7", "8", "notequal", 1), "1"},
        Case{"logic_and4", binary("3", "-4", "logic_and", 4), "1"},
        Case{"logic_and1_cut_to_zero", binary("256", "1", "logic_and", 1), "0"},
        Case{"logic_and8", binary("0", "9", "logic_and", 8), "0"},
        Case{"logic_or4", binary("0", "9", "logic_or", 4), "1"},
        Case{"logic_or1", binary("0", "0", "logic_or", 1), "0"},
        Case{"logic_not1", {"push_parameter 256", "logic_not 1"}, "1"},
        Case{"logic_not4", {"push_parameter 256", "logic_not 4"}, "0"},
        Case{"logic_not8", {"push_parameter 0", "logic_not 8"}, "1"},
        Case{"wide_operand_built", wide("1", "2"), "4294967298"},
        Case{"wide_negative_operand", wide("-1", "0xFFFFFFFE"), "-2"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

class Conversion : public ::testing::TestWithParam<Case> {};

TEST_P(Conversion, PrintsItsValue) {
  Outcome o = runValue(GetParam().body);
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.out, GetParam().printed);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, Conversion,
    ::testing::Values(
        Case{"narrow_4_to_1", {"push_parameter 0x1FF", "CHANGE_SIZE 4 1"}, "-1"},
        Case{"widen_1_to_4_signed",
             {"push_parameter 0x80", "CHANGE_SIZE 4 1", "CHANGE_SIZE 1 4"},
             "-128"},
        Case{"change_takes_the_from_width_first", {"push_parameter 300", "CHANGE_SIZE 1 4"}, "44"},
        Case{"widen_4_to_8_signed", {"push_parameter 0xFFFFFFFF", "CHANGE_SIZE 4 8"}, "-1"},
        Case{"narrow_8_to_4", concat(wide("1", "5"), {"CHANGE_SIZE 8 4"}), "5"},
        Case{"narrow_8_to_1", concat(wide("1", "0x181"), {"CHANGE_SIZE 8 1"}), "-127"},
        Case{"sized_pop_cuts_wider_entry", concat(wide("1", "3"), {"push_parameter 1", "add 4"}),
             "4"},
        Case{"sized_pop_extends_narrower_entry",
             {"push_parameter 255", "CHANGE_SIZE 4 1", "push_parameter 0", "CHANGE_SIZE 4 8",
              "add 8"},
             "-1"},
        Case{"dup_converts", {"push_parameter 511", "dup 1", "add 1"}, "-2"},
        Case{"dup8_keeps_both", {"push_parameter -3", "dup 8", "mul 8"}, "9"},
        Case{"push_hex_upper", {"push_parameter 0X10"}, "16"},
        Case{"push_leading_zero_is_decimal", {"push_parameter 010"}, "10"},
        Case{"push_negative", {"push_parameter -42"}, "-42"},
        Case{"push_suffixes_ignored", {"push_parameter 10L"}, "10"},
        Case{"push_above_int_is_unsigned_bits", {"push_parameter 4294967295"}, "-1"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Memory and stack moves, with data declared in t.004.
struct MemoryCase {
  const char* name;
  std::string data;
  std::vector<std::string> body;
  const char* printed;
};

class Memory : public ::testing::TestWithParam<MemoryCase> {};

TEST_P(Memory, PrintsItsValue) {
  Outcome o = runValue(GetParam().body, GetParam().data);
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.out, GetParam().printed);
}

const std::string kBytes =
    lines({"v:", "db 1", "db 2", "db 3", "db 4", "db 5", "db 6", "db 7", "db 0x88", "w:", "dd -2",
           "s:", "db 0 DUP 12 ", "t:", "db 0 DUP 12 "});

INSTANTIATE_TEST_SUITE_P(
    Moves, Memory,
    ::testing::Values(
        MemoryCase{
            "peek1", kBytes, {"push_parameter v", "push_parameter 7", "add 4", "peek 1"}, "-120"},
        MemoryCase{"peek4_little_endian", kBytes, {"push_parameter v", "peek 4"}, "67305985"},
        MemoryCase{"peek8", kBytes, {"push_parameter v", "peek 8"}, "-8644934341102468607"},
        MemoryCase{"peek_unaligned",
                   kBytes,
                   {"push_parameter v", "push_parameter 1", "add 4", "peek 4"},
                   "84148994"},
        MemoryCase{"dd_negative", kBytes, {"push_parameter w", "peek 4"}, "-2"},
        MemoryCase{
            "poke1_stores_low_byte",
            kBytes,
            {"push_parameter 0x1FF", "push_parameter v", "poke 1", "push_parameter v", "peek 4"},
            "67306239"},
        MemoryCase{"poke4_leaves_nothing",
                   kBytes,
                   {"push_parameter 7", "push_parameter 9", "push_parameter w", "poke 4",
                    "push_parameter w", "peek 4", "add 4"},
                   "16"},
        MemoryCase{
            "poke8_sign_extends_int",
            kBytes,
            {"push_parameter -1", "push_parameter s", "poke 8", "push_parameter s", "peek 8"},
            "-1"},
        MemoryCase{"structure_copy",
                   kBytes,
                   {"push_parameter v", "peek 12", "push_parameter s", "poke 12",
                    "push_parameter s", "push_parameter 8", "add 4", "peek 4"},
                   "-2"},
        MemoryCase{"structure_dup_and_drop",
                   kBytes,
                   {"push_parameter v", "peek 12", "dup 12", "push_parameter t", "poke 12",
                    "drop 12", "push_parameter t", "peek 8"},
                   "-8644934341102468607"},
        MemoryCase{"structure_entry_cut_by_sized_pop",
                   kBytes,
                   {"push_parameter v", "peek 12", "push_parameter 0", "add 4"},
                   "67305985"},
        MemoryCase{"structure_small_size",
                   kBytes,
                   {"push_parameter v", "peek 3", "CHANGE_SIZE 4 4"},
                   "197121"},
        MemoryCase{"structure_poke_extends_narrower",
                   kBytes,
                   {"push_parameter -1", "push_parameter s", "poke 12", "push_parameter s",
                    "push_parameter 8", "add 4", "peek 4"},
                   "-1"},
        MemoryCase{"drop_any_width",
                   kBytes,
                   {"push_parameter 5", "push_parameter v", "peek 12", "drop 4"},
                   "5"},
        MemoryCase{"drop0_pops_nothing", kBytes, {"push_parameter 6", "drop 0"}, "6"},
        MemoryCase{"data_labels_follow_sections",
                   kBytes,
                   {"push_parameter w", "push_parameter v", "sub 4"},
                   "8"}),
    [](const ::testing::TestParamInfo<MemoryCase>& info) { return std::string(info.param.name); });

// Jumps: a condition of each width, and a wide one.
class Jumps : public ::testing::TestWithParam<Case> {};

TEST_P(Jumps, TakesTheRightBranch) {
  Outcome o = runValue(GetParam().body, kBytes);
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.out, GetParam().printed);
}

std::vector<std::string> branch(const std::vector<std::string>& condition,
                                const std::string& jump) {
  std::vector<std::string> body = condition;
  body.insert(body.end(), {jump + " yes", "push_parameter 0", "goto done",
                           "yes:", "push_parameter 1", "done:"});
  return body;
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, Jumps,
    ::testing::Values(
        Case{"true_on_char", branch({"push_parameter 256", "CHANGE_SIZE 4 1"}, "goto_true"), "0"},
        Case{"true_on_int", branch({"push_parameter 256"}, "goto_true"), "1"},
        Case{"false_on_long", branch(wide("1", "0"), "goto_false"), "0"},
        Case{"false_on_zero", branch({"push_parameter 0"}, "goto_false"), "1"},
        Case{"true_on_structure", branch({"push_parameter v", "peek 12"}, "goto_true"), "1"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace stackvm::testing
