// The code as the fast loop runs it: each instruction with the address of its
// handler in the loop, and pairs of instructions that the loop runs as one.
#pragma once

#include <cstdint>

#include "vm/program.h"

namespace stackvm {

// The pairs that the fast loop runs as one. The first of a pair is a
// push_parameter whose value the pair keeps; the second stays in place on its
// own, for jumps to it and for the other loops.
#define STACKVM_PAIRS(PLAIN) \
  PLAIN(push_peek1)          \
  PLAIN(push_peek4)          \
  PLAIN(push_peek8)          \
  PLAIN(push_poke1)          \
  PLAIN(push_poke4)          \
  PLAIN(push_poke8)

// The fast loop's codes: every Op with its own value, then the pairs.
namespace fast {
#define STACKVM_CODE_NAME(name) name,
#define STACKVM_CODE_SIZED(name) name##1, name##4, name##8,
#define STACKVM_CODE_MOVE(name) name##1, name##4, name##8, name##N,
enum Code : uint16_t {
  STACKVM_OPS(STACKVM_CODE_SIZED, STACKVM_CODE_MOVE, STACKVM_CODE_NAME)
      STACKVM_PAIRS(STACKVM_CODE_NAME) kCount
};
#undef STACKVM_CODE_NAME
#undef STACKVM_CODE_SIZED
#undef STACKVM_CODE_MOVE
static_assert(trap == static_cast<uint16_t>(Op::trap), "the codes of the operations are theirs");
}  // namespace fast

// One instruction of the fast loop's code.
struct Threaded {
  const void* handler;  // where its handler starts (direct threading), else null
  uint32_t a;           // the instruction's first operand
  uint16_t code;        // a fast::Code
  uint16_t b;           // the second width of CHANGE_SIZE
};

// The code the fast loop runs at `index`: a pair's when the instruction and
// the next one fuse (the next is no trap, a peek's address lies within the
// data), else the instruction's own.
fast::Code threadedCode(const Instruction* code, uint32_t index, uint32_t count,
                        uint64_t dataBytes);

}  // namespace stackvm
