#include "vm/line_input.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#ifdef STACKVM_HAVE_LINE_EDITING
#include <editline/readline.h>
#endif

namespace stackvm {

LineInput::LineInput(std::istream& in) : in_(in) {
#ifdef STACKVM_HAVE_LINE_EDITING
  editing_ = &in == &std::cin && isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
  if (editing_) using_history();
#endif
}

LineInput::~LineInput() = default;

std::optional<std::string> LineInput::read(const std::string& prompt) {
#ifdef STACKVM_HAVE_LINE_EDITING
  if (editing_) {
    std::cout.flush();
    char* line = readline(prompt.c_str());
    if (!line) return std::nullopt;
    std::string text(line);
    std::free(line);
    if (!text.empty()) add_history(text.c_str());
    return text;
  }
#endif
  std::cout << prompt << std::flush;
  std::string text;
  if (!std::getline(in_, text)) return std::nullopt;
  return text;
}

}  // namespace stackvm
