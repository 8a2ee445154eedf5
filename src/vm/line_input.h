// Lines of debugger commands: from a terminal with line editing and history
// (libedit, when the build found it), else plainly from a stream.
#pragma once

#include <istream>
#include <optional>
#include <string>

namespace stackvm {

class LineInput {
 public:
  explicit LineInput(std::istream& in);
  ~LineInput();
  LineInput(const LineInput&) = delete;
  LineInput& operator=(const LineInput&) = delete;

  // The next line without its end; nothing at the end of the input.
  std::optional<std::string> read(const std::string& prompt);
  bool editing() const { return editing_; }

 private:
  std::istream& in_;
  bool editing_ = false;
};

}  // namespace stackvm
