// The table of stackvm's own host routines (print_*, read_*, exit): each
// one's name, parameter widths and result width, found by name. The table is
// constant; host_calls.cpp carries out the calls.
#include "vm/builtins.h"

namespace stackvm {

const std::vector<BuiltinShape>& builtins() {
  static const std::vector<BuiltinShape> table{
      {"print_int", Builtin::print_int, {4}, 0},
      {"print_long", Builtin::print_long, {8}, 0},
      {"print_char", Builtin::print_char, {1}, 0},
      {"print_string", Builtin::print_string, {4}, 0},
      {"read_int", Builtin::read_int, {}, 4},
      {"read_char", Builtin::read_char, {}, 4},
      {"exit", Builtin::exit, {4}, 0},
  };
  return table;
}

const BuiltinShape* findBuiltin(std::string_view name) {
  for (const BuiltinShape& b : builtins()) {
    if (b.name == name) return &b;
  }
  return nullptr;
}

}  // namespace stackvm
