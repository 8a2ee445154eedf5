// The arithmetic of the sized instructions on operands already cut to width W
// (held sign-extended). Two's complement wrapping; results are cut by the
// caller. Division by zero is checked before these are called.
#pragma once

#include <cstdint>

namespace stackvm {

inline int64_t wrapAdd(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
inline int64_t wrapSub(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}
inline int64_t wrapMul(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}
// Truncates toward zero; the one overflowing case (the least value divided by
// -1) wraps to itself.
inline int64_t divide(int64_t a, int64_t b) {
  return b == -1 ? wrapSub(0, a) : a / b;
}
inline int64_t remainder(int64_t a, int64_t b) {
  return b == -1 ? 0 : a % b;
}

// A count below 0 or at least the width in bits shifts every bit out.
template <uint32_t W>
inline int64_t shiftLeft(int64_t a, int64_t count) {
  return count < 0 || count >= 8 * W ? 0 : static_cast<int64_t>(static_cast<uint64_t>(a) << count);
}
template <uint32_t W>
inline int64_t shiftRight(int64_t a, int64_t count) {
  return count < 0 || count >= 8 * W ? (a < 0 ? -1 : 0) : a >> count;
}

}  // namespace stackvm

// The two-operand instructions of one width and what each computes from a (the
// value below) and b (the top), for the loops to expand into their handlers:
// BINARY(name, width, result) or DIVISION(name, width, function).
#define STACKVM_TWO_OPERAND_INSTRUCTIONS(BINARY, DIVISION, W) \
  BINARY(add, W, wrapAdd(a, b))                               \
  BINARY(sub, W, wrapSub(a, b))                               \
  BINARY(mul, W, wrapMul(a, b))                               \
  DIVISION(div, W, divide)                                    \
  DIVISION(mod, W, remainder)                                 \
  BINARY(and_, W, a& b)                                       \
  BINARY(or_, W, a | b)                                       \
  BINARY(xor_, W, a ^ b)                                      \
  BINARY(shift_left, W, shiftLeft<W>(a, b))                   \
  BINARY(shift_right, W, shiftRight<W>(a, b))                 \
  BINARY(less, W, a < b)                                      \
  BINARY(lessorequal, W, a <= b)                              \
  BINARY(greater, W, a > b)                                   \
  BINARY(greaterorequal, W, a >= b)                           \
  BINARY(equal, W, a == b)                                    \
  BINARY(notequal, W, a != b)                                 \
  BINARY(logic_and, W, a != 0 && b != 0)                      \
  BINARY(logic_or, W, a != 0 || b != 0)
