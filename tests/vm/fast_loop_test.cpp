// The fast loop against the supervised one, which runs every instruction as
// the code has it: the same output, messages, step count and state at every
// step limit, for programs that take the fast handlers, the fused pairs and
// every way out of them; traps and one-step windows inside a pair.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "vm/command.h"
#include "vm/errors.h"
#include "vm/loader.h"
#include "vm/machine.h"
#include "vm_harness.h"

namespace stackvm::testing {
namespace {

Program load(const std::vector<std::string>& code, const std::vector<std::string>& data) {
  CodeFiles files;
  files.base = "f";
  files.texts[0] = lines(code);
  files.texts[3] = lines(data);
  FileReader none = [](const std::string&) { return std::nullopt; };
  Prototypes prototypes = readPrototypes(*readFile(STACKVM_HEADER), "stackvm.h", "", none);
  std::ostringstream warnings;
  return loadProgram(files, prototypes, warnings);
}

// Records the instruction before each step and the steps done by then;
// never stops the run.
struct Recorder : Supervisor {
  bool stopBefore(const Machine& m) override {
    seen.push_back({m.pc(), m.executed()});
    return false;
  }
  std::vector<std::pair<uint32_t, uint64_t>> seen;
};

struct Ending {
  int status = -1;
  std::string out, err, error;
  uint64_t executed = 0;
  uint32_t pc = 0;
  std::vector<uint8_t> data;
  std::vector<std::pair<uint32_t, int64_t>> stack;
  uint32_t depth = 0;
  size_t calls = 0;
  bool operator==(const Ending&) const = default;
};

Ending runWith(const Program& program, uint64_t steps, bool supervised) {
  std::istringstream in;
  std::ostringstream out, err;
  RunOptions options;
  options.steps = steps;
  Machine m(program, {}, options, {in, out, err});
  Recorder recorder;
  Ending e;
  try {
    m.start();
    m.resume(supervised ? &recorder : nullptr, UINT64_MAX);
    e.status = m.status();
  } catch (const RunError& error) {
    e.error = error.what();
  }
  e.out = out.str();
  e.err = err.str();
  e.executed = m.executed();
  e.pc = m.pc();
  e.data = *m.readBytes(kDataBase, static_cast<uint32_t>(program.data.size()));
  // The top entries: entry(k) walks from the top, and a full stack has many.
  const uint32_t depth = m.stack().depth();
  for (uint32_t k = 0; k < depth && k < 8; ++k) e.stack.push_back(m.stack().entry(k));
  e.depth = depth;
  e.calls = m.frames().size();
  return e;
}

std::vector<std::string> withMain(const std::vector<std::string>& body) {
  std::vector<std::string> all{"main:"};
  for (size_t k = 0; k < body.size(); ++k) {
    all.push_back("LINE:" + std::to_string(k + 1) + ":f.c");  // a line of its own for each
    all.push_back(body[k]);
  }
  all.insert(all.end(), {"end_function_func_main:", "return"});
  return all;
}

const std::vector<std::string> kData{
    "n:", "dd 0", "c:", "db 0", "w:", "dd 9", "dd 0", "s:", "db 1 DUP 130"};

// A loop over n with a call, pairs at every width and structure moves.
const std::vector<std::string> kLoop{"push_parameter 4",
                                     "push_parameter n",
                                     "poke 4",
                                     "loop:",
                                     "push_parameter n",
                                     "peek 4",
                                     "push_parameter 0",
                                     "greater 4",
                                     "goto_false done",
                                     "push_parameter n",
                                     "peek 4",
                                     "push_parameter f",
                                     "gosub",
                                     "push_parameter c",
                                     "peek 1",
                                     "add 4",
                                     "CHANGE_SIZE 4 8",
                                     "push_parameter w",
                                     "peek 8",
                                     "add 8",
                                     "push_parameter w",
                                     "poke 8",
                                     "push_parameter s",
                                     "peek 130",
                                     "dup 130",
                                     "goto_true wide",
                                     "wide:",
                                     "drop 130",
                                     "push_parameter n",
                                     "peek 4",
                                     "push_parameter 1",
                                     "sub 4",
                                     "dup 4",
                                     "push_parameter n",
                                     "poke 4",
                                     "drop 4",
                                     "goto loop",
                                     "done:",
                                     "push_parameter w",
                                     "peek 8",
                                     "push_parameter print_long",
                                     "gosub"};
const std::vector<std::string> kFunction{"f:",
                                         "push_parameter 3",
                                         "mul 4",
                                         "push_parameter c",
                                         "poke 1",
                                         "push_parameter 7",
                                         "end_function_func_f:",
                                         "return"};

struct Case {
  const char* name;
  std::vector<std::string> body;
  const char* error;  // what the unlimited run ends with, "" for none
};

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Case kCases[] = {
    {"loop", kLoop, ""},
    {"empty_pop_in_a_pair", {"push_parameter n", "poke 4"}, "f.c:2: pop of an empty value stack"},
    {"wide_value_in_a_pair", {"push_parameter s", "peek 130", "push_parameter n", "poke 4"}, ""},
    {"division_by_zero",
     {"push_parameter 1", "push_parameter 0", "div 4"},
     "f.c:3: division by zero"},
    {"reads_outside_the_data",
     {"push_parameter 0x2000", "peek 4", "push_parameter w", "push_parameter 6", "add 4", "peek 4",
      "add 4"},
     ""},
    {"read_of_code",
     {"push_parameter main", "peek 4"},
     "f.c:2: read of 4 bytes at 0x40000000, an address of code"},
    {"change_sizes", {"push_parameter 300", "CHANGE_SIZE 4 1", "CHANGE_SIZE 1 8", "drop 8"}, ""},
    {"exit", {"push_parameter 3", "push_parameter exit", "gosub", "push_parameter 1"}, ""},
    {"early_return", {"push_parameter 1", "return", "push_parameter 2"}, ""},
};

class FastLoop : public ::testing::TestWithParam<Case> {};

TEST_P(FastLoop, EveryStepLimitEndsAsInTheSupervisedLoop) {
  std::vector<std::string> code = withMain(GetParam().body);
  if (std::string(GetParam().name) == "loop") code = concat(code, kFunction);
  const Program program = load(code, kData);
  const Ending whole = runWith(program, kDefaultSteps, true);
  EXPECT_EQ(whole.error, GetParam().error);
  for (uint64_t steps = 0; steps <= whole.executed + 1; ++steps) {
    EXPECT_EQ(runWith(program, steps, false), runWith(program, steps, true)) << "--steps " << steps;
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, FastLoop, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Runs too long to try every step limit; the ending alone.
TEST(FastLoopLimits, FullStacksEndAsInTheSupervisedLoop) {
  // The loop leaves 262,141 entries of 4 bytes and two pushes two more: room
  // for the address of a pair's push but not for the 8 bytes its peek reads.
  const Program values =
      load(withMain({"fill:", "push_parameter 7", "push_parameter n", "peek 4", "push_parameter 1",
                     "sub 4", "dup 4", "push_parameter n", "poke 4", "goto_true fill",
                     "push_parameter 7", "push_parameter 7", "push_parameter w", "peek 8"}),
           {"n:", "dd 262141", "w:", "dd 0 DUP 2"});
  const Ending full = runWith(values, kDefaultSteps, false);
  EXPECT_EQ(full.error, "f.c:14: value stack overflow (more than 1 MiB of entries)");
  EXPECT_EQ(full, runWith(values, kDefaultSteps, true));

  const Program calls =
      load({"main:", "push_parameter f", "gosub", "end_function_func_main:", "return",
            "f:", "LINE:1:f.c", "push_parameter f", "gosub", "end_function_func_f:", "return"},
           {});
  const Ending deep = runWith(calls, kDefaultSteps, false);
  EXPECT_EQ(deep.error, "f.c:1: return stack overflow (more than 10000 calls)");
  EXPECT_EQ(deep.err,
            "f.c:1: warning: f is called again before it returns: its locals are "
            "shared by every activation\n");
  EXPECT_EQ(deep, runWith(calls, kDefaultSteps, true));
}

class FastLoopPairs : public ::testing::Test {
 protected:
  FastLoopPairs() : program_(load(concat(withMain(kLoop), kFunction), kData)) {
    std::istringstream in;
    std::ostringstream out, err;
    Machine m(program_, {}, {}, {in, out, err});
    m.start();
    m.resume(&order_, UINT64_MAX);
    whole_ = m.executed();
  }

  // The second instruction of every pair that the fast loop fuses.
  std::vector<uint32_t> seconds() const {
    std::vector<uint32_t> at;
    for (uint32_t i = 1; i < program_.code.size(); ++i) {
      const Op op = program_.code[i].op;
      const bool scalar = op == Op::peek1 || op == Op::peek4 || op == Op::peek8 ||
                          op == Op::poke1 || op == Op::poke4 || op == Op::poke8;
      if (scalar && program_.code[i - 1].op == Op::push) at.push_back(i);
    }
    return at;
  }

  Program program_;
  Recorder order_;  // each step of a whole run
  uint64_t whole_ = 0;
};

TEST_F(FastLoopPairs, OneStepWindowsStopAtEveryInstruction) {
  std::istringstream in;
  std::ostringstream out, err;
  Machine m(program_, {}, {}, {in, out, err});
  m.start();
  std::vector<std::pair<uint32_t, uint64_t>> seen;
  while (!m.finished()) {
    seen.push_back({m.pc(), m.executed()});
    m.resume(nullptr, 1);
  }
  EXPECT_EQ(seen, order_.seen);
}

TEST_F(FastLoopPairs, TrapOnTheSecondOfAPairStopsThere) {
  ASSERT_GE(seconds().size(), 6u);
  for (uint32_t second : seconds()) {
    std::istringstream in;
    std::ostringstream out, err;
    Machine m(program_, {}, {}, {in, out, err});
    m.setTrap(second, true);
    m.start();
    std::vector<std::pair<uint32_t, uint64_t>> stops;
    for (Pause p; (p = m.resume(nullptr, UINT64_MAX)) != Pause::finished; m.stepOverTrap()) {
      ASSERT_EQ(p, Pause::trap);
      stops.push_back({m.pc(), m.executed()});
    }
    std::vector<std::pair<uint32_t, uint64_t>> expected;
    std::copy_if(order_.seen.begin(), order_.seen.end(), std::back_inserter(expected),
                 [&](const auto& s) { return s.first == second; });
    EXPECT_EQ(stops, expected) << program_.text[second];
    EXPECT_EQ(m.executed(), whole_);
    EXPECT_EQ(out.str(), "67");
  }
}

TEST_F(FastLoopPairs, TrapTakenAwayFusesThePairAgain) {
  const uint32_t second = seconds().front();
  std::istringstream in;
  std::ostringstream out, err;
  Machine m(program_, {}, {}, {in, out, err});
  m.setTrap(second, true);
  m.setTrap(second, false);
  m.start();
  EXPECT_EQ(m.resume(nullptr, UINT64_MAX), Pause::finished);
  EXPECT_EQ(m.executed(), whole_);
}

struct Decoding {
  const char* name;
  std::vector<Instruction> code;
  uint64_t dataBytes;
  fast::Code first;
};

const uint32_t kLast4 = kDataBase + 12;  // the last 4 bytes of 16 bytes of data

const Decoding kDecodings[] = {
    {"peek4_in_the_data", {{Op::push, kLast4}, {Op::peek4}}, 16, fast::push_peek4},
    {"peek8_past_the_end", {{Op::push, kLast4}, {Op::peek8}}, 16, fast::push},
    {"peek1_of_code", {{Op::push, kCodeBase}, {Op::peek1}}, 16, fast::push},
    {"peek_below_the_data", {{Op::push, kDataBase - 1}, {Op::peek4}}, 16, fast::push},
    {"peek_of_a_structure", {{Op::push, kDataBase}, {Op::peekN, 12}}, 16, fast::push},
    {"poke8_in_the_data", {{Op::push, kDataBase + 8}, {Op::poke8}}, 16, fast::push_poke8},
    {"poke1_of_no_data", {{Op::push, kDataBase}, {Op::poke1}}, 0, fast::push},
    {"second_is_a_trap", {{Op::push, kDataBase}, {Op::trap}}, 16, fast::push},
    {"push_last", {{Op::push, kDataBase}}, 16, fast::push},
    {"peek_after_dup", {{Op::dup4}, {Op::peek4}}, 16, fast::dup4},
};

class ThreadedCode : public ::testing::TestWithParam<Decoding> {};

TEST_P(ThreadedCode, FusesOnlyWhatCannotFailInTheSecond) {
  const Decoding& d = GetParam();
  EXPECT_EQ(threadedCode(d.code.data(), 0, static_cast<uint32_t>(d.code.size()), d.dataBytes),
            d.first);
}

INSTANTIATE_TEST_SUITE_P(Pairs, ThreadedCode, ::testing::ValuesIn(kDecodings),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace stackvm::testing
