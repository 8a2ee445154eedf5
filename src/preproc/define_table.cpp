// The define table: entries in the order of first definition, never removed,
// found by name through an open-addressing index (names are unique, so the
// index gives the same entry as a search from the first).
#include "base/bytes.h"
#include "base/compiler.h"
#include "base/text_helpers.h"
#include "preproc/preproc.h"

namespace stackcc {

namespace {

constexpr unsigned kSlotMask = kDefineIndexSlots - 1;
static_assert((kDefineIndexSlots & kSlotMask) == 0, "the index size must be a power of two");
static_assert(kDefineIndexSlots > kDefineEntries, "the index must keep free slots");

// The slot that holds the name, or the empty slot where it would go.
unsigned SlotOf(const PreprocState& p, std::string_view name) {
  unsigned slot = HashBytes(name) & kSlotMask;
  while (p.defineIndex[slot] != 0 && p.defines[p.defineIndex[slot] - 1].name.view() != name) {
    slot = (slot + 1) & kSlotMask;
  }
  return slot;
}

}  // namespace

int FindDefine(const PreprocState& p, std::string_view name) {
  if (name.empty()) return p.defineCount < kDefineEntries ? p.defineCount : -1;
  return p.defineIndex[SlotOf(p, name)] - 1;
}

int AddDefine(PreprocState& p, std::string_view name) {
  if (p.defineCount >= kDefineEntries) return -1;
  int entry = p.defineCount++;
  p.defines[entry].name.assign(name);
  p.defines[entry].value.clear();
  std::string_view stored = p.defines[entry].name.view();
  p.defineIndex[SlotOf(p, stored)] = entry + 1;
  if (!stored.empty()) {
    unsigned char first = static_cast<unsigned char>(stored[0]);
    p.defineLengthsByFirst[first] |= std::uint64_t{1} << (stored.size() < 63 ? stored.size() : 63);
    if (IsLetter(stored[0])) p.walkStops[first] = 1;  // only a letter begins a name that is used
    if (first < p.defineFirstLow) p.defineFirstLow = first;
    if (first > p.defineFirstHigh) p.defineFirstHigh = first;
  }
  return entry;
}

}  // namespace stackcc
