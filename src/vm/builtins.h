// The host routines stackvm implements itself, found by name.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace stackvm {

enum class Builtin { print_int, print_long, print_char, print_string, read_int, read_char, exit };

struct BuiltinShape {
  std::string_view name;
  Builtin id;
  std::vector<uint32_t> params;
  uint32_t result;
};

const std::vector<BuiltinShape>& builtins();
const BuiltinShape* findBuiltin(std::string_view name);

}  // namespace stackvm
