// The three ways a run of stackvm can fail, each with its exit status.
#pragma once

#include <stdexcept>
#include <string>

namespace stackvm {

inline constexpr int kRunErrorStatus = 70;
inline constexpr int kLoadErrorStatus = 71;
inline constexpr int kUsageStatus = 2;
// The device calls differ from the script's expect lines.
inline constexpr int kExpectStatus = 72;

// The text with control bytes (a NUL from a hostile file name included)
// written as \xNN, so that a message is one printable line.
inline std::string printable(const std::string& text) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) {
      out += "\\x";
      out += digits[u >> 4];
      out += digits[u & 15];
    } else {
      out += c;
    }
  }
  return out;
}

// A message that already carries its position ("file:line: text").
struct VmError : std::runtime_error {
  VmError(int status, const std::string& message)
      : std::runtime_error(printable(message)), status(status) {}
  int status;
};

struct LoadError : VmError {
  explicit LoadError(const std::string& message) : VmError(kLoadErrorStatus, message) {}
};

struct RunError : VmError {
  explicit RunError(const std::string& message) : VmError(kRunErrorStatus, message) {}
};

// A run that ends at a device call: its status is kExpectStatus when the
// call is not the expected one, 0 when the script has no more values and the
// run was to end there.
struct CallStop : RunError {
  CallStop(int status, const std::string& message) : RunError(message) { this->status = status; }
};

struct UsageError : VmError {
  explicit UsageError(const std::string& message) : VmError(kUsageStatus, message) {}
};

}  // namespace stackvm
