// The mnemonics of the code file and the operands each one takes.
#pragma once

#include <optional>
#include <string_view>

#include "vm/opcodes.h"

namespace stackvm {

enum class Operands {
  none,        // gosub, return
  label,       // goto, goto_true, goto_false
  value,       // push_parameter: a number or a label
  scalar,      // arithmetic: width 1, 4 or 8
  move,        // peek, poke, dup: any width, with a structure-size code
  drop,        // drop: any width, 0 included
  two_scalar,  // CHANGE_SIZE
  cancel,      // null_last_line
};

struct Mnemonic {
  Op op;  // for sized operations the code of width 1
  Operands operands;
};

std::optional<Mnemonic> findMnemonic(std::string_view name);

// The code of a sized operation at a scalar width; nothing for other widths.
std::optional<Op> sizedOp(Op base, uint32_t width);

}  // namespace stackvm
