// The value stack: entries of their own width (1, 4, 8 or a structure size),
// at most kStackBytes bytes of entries in all. An entry of up to 8 bytes is one
// slot; a wider one spans one slot per 8 bytes, its bytes in order from the
// lowest slot, the top slot carrying the width. Two guard slots below the
// first entry carry a width no entry has, so that the dispatch loop's test
// for a scalar entry also catches an empty stack.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "vm/widths.h"

static_assert(std::endian::native == std::endian::little, "entries keep their bytes in host order");

namespace stackvm {

inline constexpr uint32_t kStackBytes = 1u << 20;
inline constexpr uint32_t kGuardWidth = UINT32_MAX;

class ValueStack {
 public:
  ValueStack() : storage_(new Slot[kStackBytes + kGuards]), slots_(storage_.get() + kGuards) {
    for (uint32_t k = 0; k < kGuards; ++k) storage_[k] = {0, kGuardWidth};
  }

  bool empty() const { return top_ == 0; }
  uint64_t bytes() const { return bytes_; }
  uint32_t topWidth() const { return slots_[top_ - 1].w; }
  // The top entry's first eight bytes as a number (callers check empty()).
  int64_t peekScalar() const { return slots_[top_ - 1 - extraSlots(slots_[top_ - 1].w)].v; }

  // false when the stack is full
  bool push(int64_t v, uint32_t w) {
    if (bytes_ + w > kStackBytes) return false;
    slots_[top_++] = {v, w};
    bytes_ += w;
    return true;
  }

  // Pops one entry of any width as a number of up to 8 bytes (its first
  // bytes). false when the stack is empty.
  bool pop(int64_t& v) {
    if (top_ == 0) return false;
    const Slot& s = slots_[--top_];
    bytes_ -= s.w;
    if (s.w <= 8) {
      v = s.v;
      return true;
    }
    top_ -= extraSlots(s.w);
    v = slots_[top_].v;
    return true;
  }

  // The entries, for a snapshot of a run.
  struct Slot {
    int64_t v;
    uint32_t w;
  };
  // The dispatch loop keeps the top and the byte count in locals: it takes
  // them with top() and bytes() and hands them back with settle().
  Slot* top() { return slots_ + top_; }
  void settle(Slot* top, uint64_t bytes) {
    top_ = static_cast<uint32_t>(top - slots_);
    bytes_ = bytes;
  }
  struct Image {
    std::vector<Slot> slots;
    uint64_t bytes = 0;
  };
  void save(Image& image) const {
    image.slots.assign(slots_, slots_ + top_);
    image.bytes = bytes_;
  }
  void restore(const Image& image) {
    std::copy(image.slots.begin(), image.slots.end(), slots_);
    top_ = static_cast<uint32_t>(image.slots.size());
    bytes_ = image.bytes;
  }
  // Entries from the top: the number of entries and the width and first
  // eight bytes of the k-th (0 the top).
  uint32_t depth() const { return entries(); }
  std::pair<uint32_t, int64_t> entry(uint32_t k) const;

  // Pops one entry as n bytes: cut, or sign-extended from its top byte.
  bool popBytes(uint32_t n, uint8_t* out);
  bool pushBytes(uint32_t n, const uint8_t* in);

 private:
  uint32_t entries() const {
    uint32_t n = 0;
    for (uint32_t t = top_; t > 0; t -= extraSlots(slots_[t - 1].w) + 1) ++n;
    return n;
  }
  static uint32_t extraSlots(uint32_t w) { return w <= 8 ? 0 : (w + 7) / 8 - 1; }

  static constexpr uint32_t kGuards = 2;
  std::unique_ptr<Slot[]> storage_;
  Slot* slots_;  // the first entry's slot, above the guards
  uint32_t top_ = 0;
  uint64_t bytes_ = 0;
};

inline std::pair<uint32_t, int64_t> ValueStack::entry(uint32_t k) const {
  uint32_t t = top_;
  for (; k > 0; --k) t -= extraSlots(slots_[t - 1].w) + 1;
  const uint32_t w = slots_[t - 1].w;
  return {w, slots_[t - 1 - extraSlots(w)].v};
}

inline bool ValueStack::popBytes(uint32_t n, uint8_t* out) {
  if (top_ == 0) return false;
  const uint32_t w = slots_[top_ - 1].w;
  const uint32_t first = top_ - 1 - extraSlots(w);
  const uint32_t have = w < n ? w : n;
  for (uint32_t i = 0; i < have; i += 8)
    std::memcpy(out + i, &slots_[first + i / 8].v, have - i < 8 ? have - i : 8);
  const uint8_t top = static_cast<uint8_t>(static_cast<uint64_t>(slots_[first + (w - 1) / 8].v) >>
                                           (8 * ((w - 1) % 8)));
  std::memset(out + have, (top & 0x80) ? 0xFF : 0, n - have);
  top_ = first;
  bytes_ -= w;
  return true;
}

inline bool ValueStack::pushBytes(uint32_t n, const uint8_t* in) {
  if (bytes_ + n > kStackBytes) return false;
  const uint32_t count = extraSlots(n) + 1;
  for (uint32_t k = 0; k < count; ++k) {
    uint64_t v = 0;
    std::memcpy(&v, in + 8 * k, n - 8 * k < 8 ? n - 8 * k : 8);
    slots_[top_ + k] = {static_cast<int64_t>(v), 0};
  }
  if (n <= 8) slots_[top_].v = narrowTo(n, slots_[top_].v);
  slots_[top_ + count - 1].w = n;
  top_ += count;
  bytes_ += n;
  return true;
}

}  // namespace stackvm
