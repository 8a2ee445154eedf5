// Conversions between widths. A value of width 1 to 8 is held as the signed
// 64-bit number its bytes give (sign-extended from its top byte), so widening
// costs nothing and narrowing is a cast.
#pragma once

#include <cstdint>

namespace stackvm {

template <uint32_t W>
inline int64_t narrow(int64_t v) {
  if constexpr (W == 1) return static_cast<int8_t>(v);
  if constexpr (W == 4) return static_cast<int32_t>(v);
  return v;
}

// The same for any width from 1 to 8 (structure sizes below 8 included);
// wider widths keep the value.
inline int64_t narrowTo(uint32_t width, int64_t v) {
  if (width >= 8) return v;
  const unsigned shift = 64 - 8 * width;
  return static_cast<int64_t>(static_cast<uint64_t>(v) << shift) >> shift;
}

}  // namespace stackvm
