// Which instruction pairs the fast loop runs as one.
#include "vm/threaded_code.h"

namespace stackvm {

namespace {

bool inData(uint32_t address, uint32_t width, uint64_t dataBytes) {
  return uint64_t{static_cast<uint32_t>(address - kDataBase)} + width <= dataBytes;
}

}  // namespace

fast::Code threadedCode(const Instruction* code, uint32_t index, uint32_t count,
                        uint64_t dataBytes) {
  const Instruction& first = code[index];
  const auto own = static_cast<fast::Code>(first.op);
  if (first.op != Op::push || index + 1 >= count) return own;
  const uint32_t address = first.a;
  switch (code[index + 1].op) {
    case Op::peek1:
      return inData(address, 1, dataBytes) ? fast::push_peek1 : own;
    case Op::peek4:
      return inData(address, 4, dataBytes) ? fast::push_peek4 : own;
    case Op::peek8:
      return inData(address, 8, dataBytes) ? fast::push_peek8 : own;
    case Op::poke1:
      return inData(address, 1, dataBytes) ? fast::push_poke1 : own;
    case Op::poke4:
      return inData(address, 4, dataBytes) ? fast::push_poke4 : own;
    case Op::poke8:
      return inData(address, 8, dataBytes) ? fast::push_poke8 : own;
    default:
      return own;
  }
}

}  // namespace stackvm
