#include "vm/execution_counts.h"

#include <algorithm>
#include <numeric>

namespace stackvm {

std::vector<uint32_t> functionOfInstructions(const Program& program) {
  std::vector<uint32_t> order(program.functions.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    return program.functions[a].entry < program.functions[b].entry;
  });
  std::vector<uint32_t> of(program.code.size(), kNoFunction);
  size_t k = 0;
  uint32_t current = kNoFunction;
  for (uint32_t pc = 0; pc < of.size(); ++pc) {
    while (k < order.size() && program.functions[order[k]].entry <= pc) current = order[k++];
    of[pc] = current;
  }
  return of;
}

ExecutionCounts::ExecutionCounts(const Program& program, uint64_t budget)
    : program_(program),
      budget_(budget),
      functionOf_(functionOfInstructions(program)),
      runs_(program.code.size(), 0),
      jumped_(program.code.size(), 0),
      inclusive_(program.functions.size(), 0),
      active_(program.functions.size(), 0) {}

bool ExecutionCounts::stopBefore(const Machine& machine) {
  // The instruction after the last of the budget does not run.
  if (machine.executed() >= budget_) return false;
  const uint32_t pc = machine.pc();
  if (jumpPending_ && pc == program_.code[last_].a) ++jumped_[last_];
  const size_t depth = machine.frames().size();
  if (total_ == 0) {
    depth_ = depth;
    enter(kNoFunction, pc);
  } else if (depth > depth_) {
    enter(last_, pc);
  } else if (depth < depth_) {
    leave();
  }
  depth_ = depth;
  ++runs_[pc];
  ++total_;
  const Op op = program_.code[pc].op;
  jumpPending_ = op == Op::jump_true || op == Op::jump_false;
  last_ = pc;
  return false;
}

void ExecutionCounts::enter(uint32_t from, uint32_t to) {
  const uint32_t caller = from == kNoFunction ? kNoFunction : functionOf_[from];
  const uint32_t callee = functionOf_[to];
  const CallKey key{caller, from, callee};
  ++calls_[key].count;
  const bool outermost = callee != kNoFunction && active_[callee]++ == 0;
  open_.push_back({key, total_, outermost});
}

void ExecutionCounts::leave() {
  if (open_.empty()) return;
  const Open call = open_.back();
  open_.pop_back();
  const uint64_t cost = total_ - call.start;
  calls_[call.key].inclusive += cost;
  const uint32_t callee = std::get<2>(call.key);
  if (callee == kNoFunction) return;
  --active_[callee];
  if (call.outermost) inclusive_[callee] += cost;
}

void ExecutionCounts::finish() {
  while (!open_.empty()) leave();
}

}  // namespace stackvm
