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
#include "vm/value_stack.h"

namespace stackvm {

inline constexpr uint64_t kDefaultSteps = 100'000'000;
inline constexpr uint32_t kMaxCalls = 10'000;
// A structure-size move counts one step per this many bytes begun.
inline constexpr uint32_t kBytesPerStep = 64;

struct RunOptions {
  uint64_t steps = kDefaultSteps;
  bool trace = false;
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

  // The value of `width` bytes at a data address, or nothing outside the data.
  std::optional<int64_t> readData(uint32_t address, uint32_t width) const;
  uint64_t executed() const { return options_.steps - remaining_; }

 private:
  struct Frame {
    uint32_t returnTo;
    uint32_t function;  // function id + 1, 0 for a call of another label
  };

  template <bool kTrace>
  void loop();
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
  std::optional<int> exitStatus_;
};

}  // namespace stackvm
