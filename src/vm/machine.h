// One run of a loaded program: memory, the two stacks, the host routines and
// the dispatch loop. A fresh Machine per run; nothing is shared.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "vm/device_script.h"
#include "vm/program.h"
#include "vm/threaded_code.h"
#include "vm/value_stack.h"

namespace stackvm {

inline constexpr uint64_t kDefaultSteps = 100'000'000;
inline constexpr uint32_t kMaxCalls = 10'000;
// A structure-size move counts one step per this many bytes begun.
inline constexpr uint32_t kBytesPerStep = 64;

class DeviceCalls;

struct RunOptions {
  uint64_t steps = kDefaultSteps;
  bool trace = false;
  bool traceDevices = false;  // device routine calls alone, as --trace writes them
  // Checks and records the device calls, when given.
  DeviceCalls* devices = nullptr;
};

// Why a resumed run came back to the debugger.
enum class Pause {
  finished,  // main returned or exit was called
  trap,      // the next instruction carries a breakpoint
  watched,   // the supervisor asked to stop before the next instruction
  window,    // the steps granted to this stretch are used up
};

class Machine;

// Asked before every instruction of a supervised stretch of a run.
class Supervisor {
 public:
  virtual ~Supervisor() = default;
  virtual bool stopBefore(const Machine& machine) = 0;
};

struct Streams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;  // warnings and the trace
};

class Machine {
 public:
  Machine(const Program& program, DeviceScript script, RunOptions options, Streams streams);

  // Runs main; gives the exit status. Throws RunError ("file:line: message").
  int run();

  // The debugger's way through a run: start() enters main, each resume() runs
  // until the run ends, a trap, the supervisor (when given) asks to stop, or
  // `window` more steps are done. status() is the exit status once finished.
  void start();
  Pause resume(Supervisor* supervisor, uint64_t window);
  int status() const;
  // Puts a trap in place of an instruction or takes it away.
  void setTrap(uint32_t index, bool on);
  // Runs the instruction under a trap, as the code has it.
  void stepOverTrap();

  struct Frame {
    uint32_t returnTo;
    uint32_t function;  // function id + 1, 0 for a call of another label
  };
  uint32_t pc() const { return pc_; }
  const std::vector<Frame>& frames() const { return frames_; }
  const ValueStack& stack() const { return stack_; }
  const Program& program() const { return program_; }
  bool finished() const { return code_[pc_].op == Op::halt || exitStatus_.has_value(); }

  // Everything a run changes, to go back to a point of it exactly.
  struct State;
  void save(State& state) const;
  void restore(const State& state);

  // The value of `width` bytes at a data address, or nothing outside the data.
  std::optional<int64_t> readData(uint32_t address, uint32_t width) const;
  std::optional<std::vector<uint8_t>> readBytes(uint32_t address, uint32_t size) const;
  uint64_t executed() const { return options_.steps - remaining_ - reserve_; }

 private:
  template <bool kTrace, bool kSupervised>
  Pause loop(Supervisor* supervisor);
  // One instruction as the code has it; true when the run pauses there.
  template <bool kTrace>
  bool step(Pause& pause);
  // The loop of a run without trace and supervisor, on threaded_. Given
  // `handlers`, it only tells where its handlers are (null for a switch).
  Pause runFast(const void* const** handlers = nullptr);
  void decodeAt(uint32_t index);
  // After the instruction at `index` changed: it and the pair before it.
  void redecode(uint32_t index);
  [[noreturn]] void fail(const std::string& message) const;
  void warn(const std::string& message);
  void traceStep();

  int64_t pop();
  void push(int64_t v, uint32_t w);
  void popBytes(uint32_t n);
  void pushBytes(uint32_t n);
  bool inData(uint32_t address, uint32_t width) const {
    return static_cast<uint64_t>(static_cast<uint32_t>(address - kDataBase)) + width <=
           data_.size();
  }
  template <uint32_t W>
  int64_t load(uint32_t address);
  template <uint32_t W>
  void store(uint32_t address, int64_t v);
  void loadOutside(uint32_t address, uint32_t width);
  [[noreturn]] void storeOutside(uint32_t address, uint32_t width) const;
  void checkNotCode(uint32_t address, uint32_t width, const char* what) const;
  void chargeMove(uint32_t width);
  [[noreturn]] void stepLimit() const;
  void peekBytes(uint32_t width);
  void pokeBytes(uint32_t width);
  void dupBytes(uint32_t width);
  bool popTruth();

  // Each gives the index of the next instruction.
  uint32_t call(uint32_t address);
  uint32_t enter(uint32_t index, uint32_t returnTo);
  uint32_t leave();
  void callHost(uint32_t id);
  int64_t callBuiltin(int builtin, const std::vector<int64_t>& args);
  int64_t readInt();
  void printString(uint32_t address);
  void traceDevice(const HostRoutine& routine, const std::vector<int64_t>& args);
  [[noreturn]] void divisionByZero() const;

  const Program& program_;
  const Instruction* code_;
  std::vector<Instruction> patched_;  // the code with traps, once the debugger sets one
  const void* const* handlers_ = nullptr;
  std::vector<Threaded> threaded_;  // code_ as the fast loop runs it
  DeviceScript script_;
  RunOptions options_;
  Streams io_;
  std::vector<uint8_t> data_;
  ValueStack stack_;
  std::vector<Frame> frames_;
  std::vector<uint32_t> active_;  // activations per function
  std::vector<bool> recursionWarned_;
  std::unordered_set<uint64_t> readWarned_;  // source lines warned about reads outside the data
  std::vector<uint8_t> scratch_;
  uint32_t pc_ = 0;
  uint64_t remaining_ = 0;
  uint64_t reserve_ = 0;  // steps held back from the stretch being run
  std::optional<int> exitStatus_;
};

struct Machine::State {
  uint32_t pc = 0;
  uint64_t remaining = 0;
  uint64_t reserve = 0;
  std::optional<int> exitStatus;
  std::vector<uint8_t> data;
  ValueStack::Image stack;
  std::vector<Frame> frames;
  std::vector<uint32_t> active;
  std::vector<bool> recursionWarned;
  std::unordered_set<uint64_t> readWarned;
  DeviceScript script;
};

}  // namespace stackvm
