// Programs whose size or moves would make a load or a step slow: loading is
// linear in the files, and a structure-size move counts by its size.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "vm_harness.h"

namespace stackvm::testing {
namespace {

double secondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// 50,000 functions without a return of their own, followed by main with a
// million instructions: each function's body runs to main's return. Finding
// the functions once cost functions x instructions.
TEST(LargePrograms, LoadInTimeLinearInTheFile) {
  std::string code;
  for (int k = 0; k < 50'000; ++k) {
    const std::string number = std::to_string(k);
    code.append("f").append(number).append(":\r\nend_function_func_f");
    code.append(number).append(":\r\n");
  }
  code += "main:\r\n";
  for (int k = 0; k < 1'000'000; ++k) code += "drop 0\r\n";
  code += "end_function_func_main:\r\nreturn\r\n";
  Files f;
  f.code = std::move(code);
  Outcome o;
  const double seconds = secondsOf([&] { o = runFiles(f); });
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  EXPECT_LT(seconds, 10.0);
}

struct MoveCase {
  const char* name;
  std::vector<std::string> body;
  uint64_t steps;  // exactly what the run takes
};

class MoveBudget : public ::testing::TestWithParam<MoveCase> {};

// A structure-size move counts one step per 64 bytes begun.
TEST_P(MoveBudget, CountsBySize) {
  Files f;
  f.code = mainWith(GetParam().body);
  f.data4 = lines({"big:", "db 0 DUP 1048576"});
  const std::string steps = std::to_string(GetParam().steps);
  EXPECT_EQ(runFiles(f, {"--steps", steps}).status, 0);
  Outcome o = runFiles(f, {"--steps", std::to_string(GetParam().steps - 1)});
  EXPECT_EQ(o.status, 70);
  EXPECT_NE(o.err.find("step limit reached"), std::string::npos) << o.err;
}

INSTANTIATE_TEST_SUITE_P(
    Structures, MoveBudget,
    ::testing::Values(MoveCase{"peek_64_is_one", {"push_parameter big", "peek 64", "drop 64"}, 4},
                      MoveCase{"peek_65_is_two", {"push_parameter big", "peek 65", "drop 65"}, 5},
                      MoveCase{"dup_and_poke",
                               {"push_parameter big", "peek 200", "dup 200", "push_parameter big",
                                "poke 200", "drop 200"},
                               1 + 4 + 4 + 1 + 4 + 1 + 1},
                      MoveCase{"condition_on_a_structure",
                               {"push_parameter big", "peek 128", "goto_true L", "L:"},
                               1 + 2 + 2 + 1},
                      MoveCase{"mebibyte",
                               {"push_parameter big", "peek 1048576", "drop 1048576"},
                               1 + 16384 + 1 + 1}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return std::string(info.param.name); });

// Endless moves of 1 MiB stop at the step budget: 10,000,000 steps in about a
// second (the default budget in ten).
TEST(MoveBudget, BoundsTheWorkOfARun) {
  Files f;
  f.code = mainWith({"again:", "push_parameter big", "peek 1048572", "push_parameter big",
                     "poke 1048572", "goto again"});
  f.data4 = lines({"big:", "db 0 DUP 1048576"});
  Outcome o;
  const double seconds = secondsOf([&] { o = runFiles(f, {"--steps", "10000000"}); });
  EXPECT_EQ(o.status, 70);
  EXPECT_NE(o.err.find("step limit reached after 10000000 instructions"), std::string::npos)
      << o.err;
  EXPECT_LT(seconds, 10.0);
}

}  // namespace
}  // namespace stackvm::testing
