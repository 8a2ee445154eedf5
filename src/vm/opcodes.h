// Operation codes. Sized operations have one code per scalar width (1, 4, 8)
// so the dispatch loop needs no width test; memory and stack moves have a
// fourth code for structure sizes.
#pragma once

#include <cstdint>

namespace stackvm {

#define STACKVM_ARITHMETIC(X)                                                                  \
  X(add)                                                                                       \
  X(sub)                                                                                       \
  X(mul)                                                                                       \
  X(div)                                                                                       \
  X(mod) X(and_) X(or_) X(xor_) X(shift_left) X(shift_right) X(less) X(lessorequal) X(greater) \
      X(greaterorequal) X(equal) X(notequal) X(logic_and) X(logic_or) X(logic_not)

enum class Op : uint8_t {
#define STACKVM_SIZED(name) name##1, name##4, name##8,
  STACKVM_ARITHMETIC(STACKVM_SIZED)
#undef STACKVM_SIZED
      peek1,
  peek4,
  peek8,
  peekN,
  poke1,
  poke4,
  poke8,
  pokeN,
  dup1,
  dup4,
  dup8,
  dupN,
  push,
  drop,
  nop,
  change_size,
  jump,
  jump_true,
  jump_false,
  gosub,
  ret,
  past_end,
  halt,
  trap,  // a breakpoint: the debugger's copy of the code has it in place of an instruction
};

}  // namespace stackvm
