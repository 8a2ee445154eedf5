// The address space: data from kDataBase, code and host routines in ranges of
// their own so that a function's name is a non-zero value that no data
// access can reach.
#pragma once

#include <cstdint>

namespace stackvm {

inline constexpr uint32_t kDataBase = 0x1000;
inline constexpr uint32_t kMaxData = 64u << 20;
inline constexpr uint32_t kCodeBase = 0x40000000;
inline constexpr uint32_t kMaxInstructions = 16u << 20;
inline constexpr uint32_t kHostBase = 0x7F000000;
inline constexpr uint32_t kMaxHosts = 1u << 16;

}  // namespace stackvm
