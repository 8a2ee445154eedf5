// The results device routines give: read from a script of lines
// "name value", consumed in order per name, and the calls a run must make:
// lines "expect name(arg, ...)", in order.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace stackvm {

// A call the script expects, with the script's line that states it.
struct ExpectedCall {
  std::string name;
  std::vector<int64_t> args;
  int line = 0;
};

class DeviceScript {
 public:
  // Throws UsageError naming `fileName` and the line of a malformed line.
  static DeviceScript parse(const std::string& text, const std::string& fileName);

  // The next value given for the routine, or 0 when none is left.
  int64_t next(const std::string& name);
  std::vector<std::string> names() const;
  // Whether a value is left for the routine.
  bool hasValue(const std::string& name) const;
  const std::vector<ExpectedCall>& expected() const { return expected_; }
  // Every value given for the routine, in order.
  std::vector<int64_t> values(const std::string& name) const;

 private:
  struct Queue {
    std::vector<int64_t> values;
    size_t used = 0;
  };
  std::unordered_map<std::string, Queue> queues_;
  std::vector<ExpectedCall> expected_;
};

}  // namespace stackvm
