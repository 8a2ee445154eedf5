// The three ways a run of stackvm can fail, each with its exit status.
#pragma once

#include <stdexcept>
#include <string>

namespace stackvm {

inline constexpr int kRunErrorStatus = 70;
inline constexpr int kLoadErrorStatus = 71;
inline constexpr int kUsageStatus = 2;

// A message that already carries its position ("file:line: text").
struct VmError : std::runtime_error {
  VmError(int status, const std::string& message) : std::runtime_error(message), status(status) {}
  int status;
};

struct LoadError : VmError {
  explicit LoadError(const std::string& message) : VmError(kLoadErrorStatus, message) {}
};

struct RunError : VmError {
  explicit RunError(const std::string& message) : VmError(kRunErrorStatus, message) {}
};

struct UsageError : VmError {
  explicit UsageError(const std::string& message) : VmError(kUsageStatus, message) {}
};

}  // namespace stackvm
