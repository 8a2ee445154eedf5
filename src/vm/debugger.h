// The debugger's model of a run, shared by the command line and the Debug
// Adapter Protocol: breakpoints, watches, stepping forward and backward, and
// the frames and names of the stopped program. Going back is exact: the run
// is deterministic with the same script and input, so the debugger re-runs
// from the nearest snapshot (one taken every kSnapshotSteps steps) to the
// point wanted.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vm/debug_expression.h"
#include "vm/debug_info.h"
#include "vm/expected_calls.h"
#include "vm/machine.h"
#include "vm/replay_streams.h"

namespace stackvm {

inline constexpr uint64_t kSnapshotSteps = 1'000'000;
inline constexpr size_t kMaxSnapshots = 64;
inline constexpr size_t kSnapshotBytes = 256u << 20;  // what the snapshots may hold in all

struct Breakpoint {
  int number = 0;
  std::string location;  // as the user gave it
  std::vector<uint32_t> sites;
  std::string condition;
  bool temporary = false;
  uint32_t hits = 0;
};

struct Watch {
  int number = 0;
  std::string expression;
  uint32_t address = 0;
  uint32_t size = 0;
  std::string function;  // the scope its names were found in
  TypeInfo type;
  std::vector<uint8_t> bytes;  // as last seen
  std::string value;           // as last printed
};

enum class StopKind { breakpoint, watch, step, finished, error, history_end };

struct StopEvent {
  StopKind kind = StopKind::step;
  int number = 0;        // the breakpoint or watch
  std::string oldValue;  // a watch's values
  std::string newValue;
  std::string message;  // a run-time error
  int status = 0;       // the exit status once finished
};

// One frame of the return stack: 0 is where the program stopped.
struct FrameInfo {
  std::string function;  // empty outside every function
  uint32_t pc = 0;       // the instruction running in it (the call, for callers)
};

enum class Motion { step, next, stepi, nexti, finish, until, cont };

class Debugger {
 public:
  Debugger(const Program& program, DebugInfo info, DeviceScript script, RunOptions options,
           Streams streams);
  ~Debugger();

  const Program& program() const { return program_; }
  const DebugInfo& info() const { return info_; }
  bool running() const { return machine_ != nullptr && !ended_; }
  // Stopped by a run-time error: the faulting instruction has half run, so
  // the program cannot go forward (backward it can).
  bool failed() const { return failed_; }

  // Starts the program afresh: stops at a breakpoint or runs to the end, or
  // with `atEntry` before main's first instruction.
  StopEvent run(bool atEntry = false);
  // Forward motions, and the same backward.
  StopEvent move(Motion motion);
  StopEvent moveBack(Motion motion);
  StopEvent untilLocation(const std::vector<uint32_t>& sites);
  void kill();
  // The script's name in the messages of its expect lines (\"the script\" by default).
  void setScriptName(std::string name) { scriptName_ = std::move(name); }
  // The program reads these bytes as its input from the next run on.
  void setInput(std::string bytes) { input_.replace(std::move(bytes)); }
  // Snapshots every `steps` steps from the next run on (kSnapshotSteps by default).
  void setSnapshotInterval(uint64_t steps) { firstInterval_ = steps == 0 ? 1 : steps; }

  // Breakpoints: the sites of FILE:LINE, LINE (in the current file) or FUNCTION.
  std::vector<uint32_t> resolve(const std::string& location) const;
  const Breakpoint& addBreakpoint(const std::string& location, bool temporary);
  bool deleteBreakpoint(int number);
  void deleteAllBreakpoints();
  bool setCondition(int number, const std::string& condition);
  const std::vector<Breakpoint>& breakpoints() const { return breakpoints_; }
  const Watch& addWatch(const std::string& expression);
  const std::vector<Watch>& watches() const { return watches_; }

  // The stopped program (callers check running()).
  const Machine& machine() const { return *machine_; }
  std::vector<FrameInfo> frames() const;
  Evaluator evaluator(size_t frame = 0) const;
  std::string functionAt(uint32_t pc) const;
  // "file", line of an instruction.
  std::pair<std::string, uint32_t> position(uint32_t pc) const;
  std::vector<const VariableInfo*> locals(const std::string& function, bool parameters) const;
  std::vector<const VariableInfo*> globals() const;

 private:
  struct Snapshot {
    uint64_t time = 0;
    Machine::State state;
    size_t input = 0;
    size_t output = 0;
    size_t errors = 0;
    DeviceCalls::Progress calls;
  };
  using Predicate = std::function<bool(const Machine&)>;

  void buildLineTable();
  bool lineStart(uint32_t pc) const { return pc < lineStart_.size() && lineStart_[pc]; }
  StopEvent forward(const Predicate& stop);
  std::optional<StopEvent> breakpointAt(uint32_t pc);
  std::optional<StopEvent> watchChanged();
  bool conditionHolds(const Breakpoint& b) const;
  void snapshot();
  void restore(const Snapshot& s);
  void seek(uint64_t time);
  std::optional<uint64_t> lastTimeBefore(uint64_t now, const Predicate& wanted);
  StopEvent ended(const StopEvent& e);
  StopEvent finished();
  Predicate motionPredicate(Motion motion) const;
  Predicate backwardPredicate(Motion motion) const;
  Predicate lastStopPredicate() const;
  void placeSites(const std::vector<uint32_t>& sites, int delta);
  bool trapAt(uint32_t pc) const { return pc < trapCount_.size() && trapCount_[pc] > 0; }
  uint64_t positionKey(uint32_t pc) const;
  size_t depth() const { return machine_->frames().size(); }
  void refreshWatches();

  const Program& program_;
  DebugInfo info_;
  DeviceScript script_;
  RunOptions options_;
  Streams io_;
  ReplayInput input_;
  ReplayOutput output_;
  ReplayOutput errors_;
  std::istream in_;
  std::ostream out_;
  std::ostream err_;
  std::string scriptName_ = "the script";
  std::unique_ptr<DeviceCalls> calls_;  // the expect lines' check, when the script has them
  std::unique_ptr<Machine> machine_;
  bool ended_ = false;
  bool failed_ = false;
  std::vector<Snapshot> snapshots_;
  uint64_t snapshotEvery_ = kSnapshotSteps;
  uint64_t firstInterval_ = kSnapshotSteps;
  std::vector<bool> lineStart_;
  std::vector<uint32_t> functionOf_;  // per instruction: index into info_.functions + 1, or 0
  std::vector<Breakpoint> breakpoints_;
  std::vector<Watch> watches_;
  std::vector<int> trapCount_;  // per instruction: breakpoints placed there
  int nextNumber_ = 1;
};

}  // namespace stackvm
