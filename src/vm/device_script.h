// The results device routines give: read from a script of lines
// "name value", consumed in order per name.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace stackvm {

class DeviceScript {
 public:
  // Throws UsageError naming `fileName` and the line of a malformed line.
  static DeviceScript parse(const std::string& text, const std::string& fileName);

  // The next value given for the routine, or 0 when none is left.
  int64_t next(const std::string& name);
  std::vector<std::string> names() const;

 private:
  struct Queue {
    std::vector<int64_t> values;
    size_t used = 0;
  };
  std::unordered_map<std::string, Queue> queues_;
};

}  // namespace stackvm
