// The warning names of the -W options.
#include "io/tool_options.h"

namespace stackcc {

namespace {

constexpr std::string_view kWarningNames[] = {
    "short-circuit",       "char-arithmetic", "leading-zero",
    "argument-order",      "target-twice",    "switch-subject",
    "keyword-prefix",      "recursion",       "increment-value",
    "lowercase-directive", "number-range",    "initializer-braces",
    "string-escape",       "unused",
};
static_assert(std::size(kWarningNames) == static_cast<std::size_t>(Warning::kCount));

}  // namespace

std::string_view WarningName(Warning w) {
  auto i = static_cast<std::size_t>(w);
  return i < std::size(kWarningNames) ? kWarningNames[i] : std::string_view{};
}

Warning WarningNamed(std::string_view name) {
  for (std::size_t i = 0; i < std::size(kWarningNames); ++i) {
    if (kWarningNames[i] == name) return static_cast<Warning>(i);
  }
  return Warning::kCount;
}

}  // namespace stackcc
