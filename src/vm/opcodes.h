// Operation codes. Sized operations have one code per scalar width (1, 4, 8)
// so the dispatch loop needs no width test; memory and stack moves have a
// fourth code for structure sizes.
#pragma once

#include <cstdint>

namespace stackvm {

// Every code in order, for tables indexed by it: SIZED(name) stands for
// name1, name4, name8; MOVE(name) for those and nameN; PLAIN(name) for one.
#define STACKVM_OPS(SIZED, MOVE, PLAIN)                                                 \
  SIZED(add)                                                                            \
  SIZED(sub)                                                                            \
  SIZED(mul)                                                                            \
  SIZED(div)                                                                            \
  SIZED(mod)                                                                            \
  SIZED(and_)                                                                           \
  SIZED(or_)                                                                            \
  SIZED(xor_)                                                                           \
  SIZED(shift_left)                                                                     \
  SIZED(shift_right)                                                                    \
  SIZED(less)                                                                           \
  SIZED(lessorequal)                                                                    \
  SIZED(greater)                                                                        \
  SIZED(greaterorequal)                                                                 \
  SIZED(equal)                                                                          \
  SIZED(notequal)                                                                       \
  SIZED(logic_and)                                                                      \
  SIZED(logic_or)                                                                       \
  SIZED(logic_not)                                                                      \
  MOVE(peek)                                                                            \
  MOVE(poke)                                                                            \
  MOVE(dup)                                                                             \
  PLAIN(push)                                                                           \
  PLAIN(drop)                                                                           \
  PLAIN(nop)                                                                            \
  PLAIN(change_size)                                                                    \
  PLAIN(jump)                                                                           \
  PLAIN(jump_true)                                                                      \
  PLAIN(jump_false)                                                                     \
  PLAIN(gosub)                                                                          \
  PLAIN(ret)                                                                            \
  PLAIN(past_end)                                                                       \
  PLAIN(halt)                                                                           \
  /* a breakpoint: the debugger's copy of the code has it in place of an instruction */ \
  PLAIN(trap)

#define STACKVM_OP_NAME(name) name,
#define STACKVM_OP_SIZED(name) name##1, name##4, name##8,
#define STACKVM_OP_MOVE(name) name##1, name##4, name##8, name##N,
enum class Op : uint8_t { STACKVM_OPS(STACKVM_OP_SIZED, STACKVM_OP_MOVE, STACKVM_OP_NAME) };
#undef STACKVM_OP_NAME
#undef STACKVM_OP_SIZED
#undef STACKVM_OP_MOVE

inline constexpr uint32_t kOpCount = static_cast<uint32_t>(Op::trap) + 1;

}  // namespace stackvm
