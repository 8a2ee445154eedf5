// Names of parameterised test cases, as GoogleTest and CTest show them. A name
// may hold only letters, digits and '_', so a case's text is cut down to its
// words; cases named by a fragment of code also carry their index, which keeps
// two fragments with the same words ("2*3", "2 * 3") apart.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace stackcc::testing {

// "missing file" -> "missing_file"; "--help" -> "help"; "" -> "empty".
inline std::string CaseName(std::string_view text) {
  std::string name;
  bool gap = false;
  for (char ch : text) {
    bool word = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
    if (!word) {
      gap = !name.empty();
      continue;
    }
    if (gap) name += '_';
    gap = false;
    name += ch;
  }
  return name.empty() ? "empty" : name;
}

// Case 4, "a = 2*3" -> "4_a_2_3".
inline std::string CaseName(std::string_view text, std::size_t index) {
  return std::to_string(index) + "_" + CaseName(text);
}

}  // namespace stackcc::testing
