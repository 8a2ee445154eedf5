// Going back is exact: after every reverse command the data, the value stack,
// the return stack and the position equal those of a plain forward run
// stopped after the same number of steps, whatever snapshots lie between.
#include <gtest/gtest.h>

#include <sstream>

#include "vm/command.h"
#include "vm/debugger.h"
#include "vm/loader.h"
#include "vm_harness.h"

namespace stackvm::testing {
namespace {

// main calls f(i) for i = 0 .. 5, adds its result to total and prints it.
const std::vector<std::string> kCode{"main:",
                                     "LINE:1:r.c",
                                     "push_parameter 0",
                                     "push_parameter i",
                                     "poke 4",
                                     "loop:",
                                     "LINE:2:r.c",
                                     "push_parameter i",
                                     "peek 4",
                                     "push_parameter 6",
                                     "less 4",
                                     "goto_false done",
                                     "LINE:3:r.c",
                                     "push_parameter i",
                                     "peek 4",
                                     "push_parameter f",
                                     "gosub",
                                     "push_parameter total",
                                     "peek 4",
                                     "add 4",
                                     "push_parameter total",
                                     "poke 4",
                                     "LINE:4:r.c",
                                     "push_parameter total",
                                     "peek 4",
                                     "push_parameter print_int",
                                     "gosub",
                                     "push_parameter i",
                                     "peek 4",
                                     "push_parameter 1",
                                     "add 4",
                                     "push_parameter i",
                                     "poke 4",
                                     "goto loop",
                                     "done:",
                                     "LINE:5:r.c",
                                     "end_function_func_main:",
                                     "return",
                                     "f:",
                                     "LINE:7:r.c",
                                     "push_parameter x_func_f",
                                     "poke 4",
                                     "LINE:8:r.c",
                                     "push_parameter x_func_f",
                                     "peek 4",
                                     "dup 4",
                                     "mul 4",
                                     "end_function_func_f:",
                                     "return"};

struct State {
  uint32_t pc;
  std::vector<uint8_t> data;
  std::vector<std::pair<uint32_t, int64_t>> stack;
  size_t calls;
  bool operator==(const State&) const = default;
};

State stateOf(const Machine& m) {
  State s{m.pc(),
          *m.readBytes(kDataBase, static_cast<uint32_t>(m.program().data.size())),
          {},
          m.frames().size()};
  for (uint32_t k = 0; k < m.stack().depth(); ++k) s.stack.push_back(m.stack().entry(k));
  return s;
}

class Reverse : public ::testing::TestWithParam<uint64_t> {
 protected:
  void SetUp() override {
    CodeFiles files;
    files.base = "r";
    files.texts[0] = lines(kCode);
    files.texts[3] = lines({"i:", "dd 0", "total:", "dd 0", "x_func_f:", "dd 0"});
    FileReader none = [](const std::string&) { return std::nullopt; };
    Prototypes prototypes = readPrototypes(*readFile(STACKVM_HEADER), "stackvm.h", "", none);
    std::ostringstream warnings;
    program_ = loadProgram(files, prototypes, warnings);
  }

  // A plain run stopped after `steps` steps.
  State forward(uint64_t steps) {
    std::istringstream in;
    std::ostringstream out, err;
    Machine m(program_, {}, {}, {in, out, err});
    m.start();
    m.resume(nullptr, steps);
    EXPECT_EQ(m.executed(), steps);
    return stateOf(m);
  }

  Program program_;
};

TEST_P(Reverse, EqualsAForwardRunStoppedThere) {
  std::istringstream in;
  std::ostringstream out, err;
  Debugger d(program_, debugInfoFromLabels(program_), {}, {}, {in, out, err});
  d.setSnapshotInterval(GetParam());
  d.addBreakpoint("r.c:8", false);
  ASSERT_EQ(d.run().kind, StopKind::breakpoint);
  const Motion motions[] = {Motion::stepi,  Motion::step, Motion::next,
                            Motion::finish, Motion::cont, Motion::nexti};
  for (int round = 0; round < 4; ++round) {
    ASSERT_EQ(d.move(Motion::cont).kind, StopKind::breakpoint);
    for (Motion back : motions) {
      if (back == Motion::finish && d.frames().size() < 2) continue;
      const uint64_t before = d.machine().executed();
      d.moveBack(back);
      const uint64_t at = d.machine().executed();
      EXPECT_LT(at, before) << "round " << round << " motion " << static_cast<int>(back);
      EXPECT_EQ(stateOf(d.machine()), forward(at))
          << "round " << round << " motion " << static_cast<int>(back) << " at " << at;
      d.move(Motion::step);
    }
  }
  // Forward to the end: every number is printed once, in order.
  d.deleteAllBreakpoints();
  EXPECT_EQ(d.move(Motion::cont).kind, StopKind::finished);
  EXPECT_EQ(out.str(), "015143055");
}

TEST_P(Reverse, ReverseFinishStopsAtTheCall) {
  std::istringstream in;
  std::ostringstream out, err;
  Debugger d(program_, debugInfoFromLabels(program_), {}, {}, {in, out, err});
  d.setSnapshotInterval(GetParam());
  d.addBreakpoint("f", false);
  d.run();
  d.move(Motion::cont);
  d.moveBack(Motion::finish);
  EXPECT_EQ(d.frames().size(), 1u);
  EXPECT_EQ(program_.text[d.machine().pc()], "gosub");
  EXPECT_EQ(stateOf(d.machine()), forward(d.machine().executed()));
}

INSTANTIATE_TEST_SUITE_P(SnapshotIntervals, Reverse, ::testing::Values(1, 7, 50, 1000000),
                         [](const auto& info) { return "every_" + std::to_string(info.param); });

}  // namespace
}  // namespace stackvm::testing
