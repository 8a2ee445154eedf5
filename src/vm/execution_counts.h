// Counts of a run for coverage and profiles: how often each instruction ran,
// how often each conditional jump jumped, and the calls between functions
// with the instructions each took. Watches the run as the debugger's
// supervisor does, so a run without it pays nothing.
#pragma once

#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "vm/machine.h"

namespace stackvm {

inline constexpr uint32_t kNoFunction = UINT32_MAX;

// The function each instruction belongs to: the one whose entry is the
// nearest at or before it (kNoFunction before the first).
std::vector<uint32_t> functionOfInstructions(const Program& program);

class ExecutionCounts : public Supervisor {
 public:
  ExecutionCounts(const Program& program, uint64_t budget);

  bool stopBefore(const Machine& machine) override;
  // At the end of the run: closes the calls still open.
  void finish();

  struct Call {
    uint64_t count = 0;
    uint64_t inclusive = 0;  // instructions run inside these calls
  };
  // caller function, the calling instruction, callee function
  using CallKey = std::tuple<uint32_t, uint32_t, uint32_t>;

  const std::vector<uint64_t>& runs() const { return runs_; }
  const std::vector<uint64_t>& jumped() const { return jumped_; }
  const std::map<CallKey, Call>& calls() const { return calls_; }
  const std::vector<uint64_t>& inclusive() const { return inclusive_; }  // per function
  const std::vector<uint32_t>& functionOf() const { return functionOf_; }
  uint64_t total() const { return total_; }

 private:
  void enter(uint32_t from, uint32_t to);
  void leave();

  struct Open {
    CallKey key;
    uint64_t start;
    bool outermost;  // the callee is not already running further out
  };
  const Program& program_;
  uint64_t budget_;
  std::vector<uint32_t> functionOf_;
  std::vector<uint64_t> runs_;
  std::vector<uint64_t> jumped_;
  std::vector<uint64_t> inclusive_;
  std::vector<uint32_t> active_;
  std::map<CallKey, Call> calls_;
  std::vector<Open> open_;
  uint64_t total_ = 0;
  size_t depth_ = 0;
  uint32_t last_ = 0;
  bool jumpPending_ = false;
};

}  // namespace stackvm
