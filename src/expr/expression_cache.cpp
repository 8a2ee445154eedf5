#include "expr/expression_cache.h"

#include <cstring>

#include "driver/bytes.h"
#include "driver/compiler.h"
#include "driver/text_helpers.h"

namespace stackcc {

namespace {

constexpr std::string_view kLabelMark = "_func_";

// The last n < 8 bytes as the low bytes of a word, as a copy of them into a
// zeroed word would give. Loaded in pieces of fixed size: a copy of a variable
// length calls the library and is read back through the stack, which stalls
// the load that follows it.
std::uint64_t TailWord(const char* p, std::size_t n) {
  std::uint64_t tail = 0;
  unsigned shift = 0;
  if (n & 4) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    tail = v;
    p += 4;
    shift = 32;
  }
  if (n & 2) {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    tail |= static_cast<std::uint64_t>(v) << shift;
    p += 2;
    shift += 16;
  }
  if (n & 1) tail |= static_cast<std::uint64_t>(static_cast<unsigned char>(*p)) << shift;
  return tail;
}

// The slot hash of a statement text, eight bytes at a time.
unsigned HashText(std::string_view text) {
  constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;
  std::uint64_t h = text.size() * kMul;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, text.data() + i, 8);
    h = (h ^ w) * kMul;
    h ^= h >> 29;
  }
  h = (h ^ TailWord(text.data() + i, text.size() - i)) * kMul;
  h ^= h >> 32;  // the high bits, where a product gathers its inputs, reach the slot bits
  h *= kMul;
  return static_cast<unsigned>(h >> 32);
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() &&
         SameBytes(text.data() + text.size() - tail.size(), tail.data(), tail.size());
}

// The move of an entry from the function it was made in to the current one. A
// local's stored name is its written name followed by the function's label, so
// a name ending in the old label ends in the new one instead. Both labels are
// as long, so every text keeps its length.
struct Relabel {
  std::string_view from;
  std::string_view to;

  bool moves = !SameText(from, to);

  bool Moves() const { return moves; }
  // Whether the move turns the name was into now.
  bool Renames(std::string_view was, std::string_view now) const {
    if (was.size() != now.size()) return false;
    if (!Moves() || !EndsWith(was, from)) return SameText(was, now);
    std::size_t stem = was.size() - from.size();
    return SameBytes(was.data(), now.data(), stem) &&
           SameBytes(now.data() + stem, to.data(), to.size());
  }
  template <std::size_t N>
  void Apply(FixedText<N>& name) const {
    if (!Moves() || !EndsWith(name.view(), from)) return;
    CopyBytes(name.raw() + name.size() - from.size(), to.data(), to.size());
  }
  template <std::size_t N>
  void ApplyToCode(FixedText<N>& code, const CachedExpression& entry) const {
    if (!Moves()) return;
    for (int i = 0; i < entry.labelCount; ++i) {
      CopyBytes(code.raw() + entry.labelAt[i], to.data(), to.size());
    }
  }
};

// An entry made in another function may be carried over only when nothing in
// its text can read as a label (an entry whose text holds one is made
// unmovable): then a label in its code came from a record's name, and every
// such name is checked again below.
bool MayMove(const CachedExpression& entry, std::string_view from, std::string_view to) {
  if (SameText(from, to)) return true;
  auto marked = [](std::string_view label) {
    return label.size() >= kLabelMark.size() &&
           SameBytes(label.data(), kLabelMark.data(), kLabelMark.size());
  };
  return entry.movable && from.size() == to.size() && marked(from) && marked(to);
}

bool SameDimensionsOf(const DeclState& d, const SymbolRecord& a, const SymbolRecord& b) {
  auto has = [](const SymbolRecord& r) {
    return r.isArray == 1 && r.dimIndex >= 0 && r.dimIndex < kDimensionRecords;
  };
  if (has(a) != has(b)) return false;
  return !has(a) || a.dimIndex == b.dimIndex ||
         SameDimensions(d.dimensions[a.dimIndex], d.dimensions[b.dimIndex]);
}

// The name looked up finds a record as the one it found then (unchanged since),
// renamed by the move at most. found is the record it finds now.
bool SymbolAnswersAgain(Compiler& c, const SymbolLookup& was, const Relabel& move, int& found) {
  const DeclState& d = c.decl;
  decltype(was.asked) asked;
  if (move.Moves()) {
    asked = was.asked;
    move.Apply(asked);
  }
  found = VisibleSymbol(c, move.Moves() ? asked.view() : was.asked.view());
  if ((found < 0) != (was.result < 0)) return false;
  if (found < 0) return true;
  const SymbolRecord& then = d.symbols[was.result];
  const SymbolRecord& now = d.symbols[found];
  if (then.revision != was.revision || !move.Renames(then.name.view(), now.name.view())) {
    return false;
  }
  return found == was.result || (SameShape(now, then) && SameDimensionsOf(d, now, then));
}

// SymbolAnswersAgain through the verdicts of this function and these tables.
// A name that found nothing is checked every time (its asked text is not
// part of any record's name).
bool CheckedAgain(Compiler& c, CheckedAnswers& checked, const SymbolLookup& was,
                  const Relabel& move, int& found) {
  if (was.result < 0) return SymbolAnswersAgain(c, was, move, found);
  std::string_view recordName = c.decl.symbols[was.result].name.view();
  std::string_view asked = was.asked.view();
  bool keyed =
      asked.size() <= recordName.size() && SameBytes(recordName.data(), asked.data(), asked.size());
  unsigned index = (static_cast<unsigned>(was.result) * 31u + static_cast<unsigned>(asked.size())) %
                   CheckedAnswers::kVerdicts;
  CheckedAnswers::Verdict& v = checked.verdicts[index];
  if (keyed && v.epoch == checked.epoch && v.was == was.result && v.revision == was.revision &&
      v.askedSize == asked.size() && SameText(v.from.view(), move.from)) {
    found = v.found;
    return v.again;
  }
  bool again = SymbolAnswersAgain(c, was, move, found);
  if (keyed) {
    v.epoch = checked.epoch;
    v.was = was.result;
    v.revision = was.revision;
    v.askedSize = asked.size();
    v.from.assign(move.from);
    v.found = found;
    v.again = again;
  }
  return again;
}

bool AnswersAgain(Compiler& c, CheckedAnswers& checked, const LookupJournal& lookups,
                  const Relabel& move, int (&found)[LookupJournal::kSymbolLookups]) {
  const DeclState& d = c.decl;
  if (checked.generation != d.generation ||
      !SameText(checked.label.view(), d.currentFunctionLabel.view())) {
    ++checked.epoch;
    checked.generation = d.generation;
    checked.label.assign(d.currentFunctionLabel.view());
  }
  for (int i = 0; i < lookups.symbolCount; ++i) {
    if (!CheckedAgain(c, checked, lookups.symbols[i], move, found[i])) return false;
  }
  for (int i = 0; i < lookups.memberCount; ++i) {
    const MemberLookup& was = lookups.members[i];
    int offset = 0;
    if (!FindMemberOffset(c.decl, was.tag.view(), was.member.view(), offset) ||
        offset != was.offset) {
      return false;
    }
  }
  return true;
}

// The entry now stands for the records found this time.
void MoveEntry(const DeclState& d, CachedExpression& entry, const Relabel& move,
               const int (&found)[LookupJournal::kSymbolLookups]) {
  move.ApplyToCode(entry.code, entry);
  for (int i = 0; i < entry.lookups.symbolCount; ++i) {
    SymbolLookup& lookup = entry.lookups.symbols[i];
    move.Apply(lookup.asked);
    lookup.result = found[i];
    if (found[i] >= 0) lookup.revision = d.symbols[found[i]].revision;
  }
  entry.label.assign(move.to);
}

// A name is written only as the operand that ends a line ("push_parameter
// name"), so a line ending in the label ends in a local's name.
void FindLabelPlaces(CachedExpression& entry) {
  std::string_view code = entry.code.view();
  std::string_view label = entry.label.view();
  entry.labelCount = 0;
  entry.movable = !label.empty() && entry.text.find(kLabelMark) == decltype(entry.text)::npos;
  if (!entry.movable) return;
  for (std::size_t end = code.find('\r'); end != std::string_view::npos;
       end = code.find('\r', end + 1)) {
    if (end < label.size() ||
        !SameBytes(code.data() + end - label.size(), label.data(), label.size())) {
      continue;
    }
    if (entry.labelCount == CachedExpression::kLabelPlaces) {
      entry.movable = false;
      return;
    }
    entry.labelAt[entry.labelCount++] = static_cast<std::uint16_t>(end - label.size());
  }
}

// The stand-ins of count numbers in a code: each ends a line. False when
// there are more than an entry keeps.
bool FindNumberPlaces(std::string_view code, int count, CachedExpression::NumberPlaces& places,
                      int& found) {
  found = 0;
  if (count == 0) return true;
  for (std::size_t end = code.find('\r'); end != std::string_view::npos;
       end = code.find('\r', end + 1)) {
    int rank = StandInBefore(code, end, count);
    if (rank < 0) continue;
    if (found == CachedExpression::kNumberPlaces) return false;
    places[static_cast<std::size_t>(found++)] = {static_cast<std::uint16_t>(end - kStandInLength),
                                                 static_cast<std::uint8_t>(rank)};
  }
  return true;
}

}  // namespace

ExpressionCache::Slot* ExpressionCache::SlotOf(unsigned hash, std::string_view text) {
  unsigned first = hash % kSlots;
  Slot* slot = &slots_[first];
  if (slot->hash != hash || slot->entry < 0) {
    slot = &slots_[first ^ 1];
    if (slot->hash != hash || slot->entry < 0) return nullptr;
  }
  return SameText(entries_[static_cast<std::size_t>(slot->entry)].text.view(), text) ? slot
                                                                                     : nullptr;
}

const CachedExpression* ExpressionCache::Find(Compiler& c, std::string_view text) {
  const Slot* slot = SlotOf(HashText(text), text);
  if (slot == nullptr) return nullptr;
  CachedExpression& entry = entries_[static_cast<std::size_t>(slot->entry)];
  const DeclState& d = c.decl;
  std::string_view label = d.currentFunctionLabel.view();
  if (entry.generation == d.generation && SameText(entry.label.view(), label)) {
    entry.used = true;
    return &entry;
  }
  if (!MayMove(entry, entry.label.view(), label)) return nullptr;
  Relabel move{entry.label.view(), label};
  int found[LookupJournal::kSymbolLookups];
  if (!AnswersAgain(c, checked_, entry.lookups, move, found)) return nullptr;
  MoveEntry(d, entry, move, found);
  entry.generation = d.generation;
  entry.used = true;
  return &entry;
}

const CachedExpression* ExpressionCache::Store(const Compiler& c, std::string_view text,
                                               int numbers, std::string_view code, int dropSize,
                                               int generationBefore, const LookupJournal& lookups) {
  const DeclState& d = c.decl;
  CachedExpression::NumberPlaces places;
  int placeCount = 0;
  if (generationBefore != d.generation || lookups.overflowed ||
      text.size() > decltype(CachedExpression::text)::kCapacity ||
      code.size() > decltype(CachedExpression::code)::kCapacity ||
      !FindNumberPlaces(code, numbers, places, placeCount)) {
    return nullptr;
  }
  unsigned hash = HashText(text);
  // A statement kept before (whose code no longer held) takes its own entry again.
  Slot* same = SlotOf(hash, text);
  int index = same != nullptr ? same->entry : TakeEntry();
  CachedExpression& entry = entries_[static_cast<std::size_t>(index)];
  entry.used = false;
  entry.hash = hash;
  entry.text.assign(text);
  entry.code.assign(code);
  entry.dropSize = dropSize;
  entry.generation = d.generation;
  entry.label.assign(d.currentFunctionLabel.view());
  entry.lookups.CopyFrom(lookups);
  for (int i = 0; i < placeCount; ++i)
    entry.numberAt[static_cast<std::size_t>(i)] = places[static_cast<std::size_t>(i)];
  entry.numberCount = placeCount;
  FindLabelPlaces(entry);
  *(same != nullptr ? same : FreeSlot(hash)) = {hash, index};
  return &entry;
}

int ExpressionCache::TakeEntry() {
  for (int passed = 0;; ++passed) {
    int index = nextEntry_;
    nextEntry_ = (nextEntry_ + 1) % kCachedExpressions;
    CachedExpression& entry = entries_[static_cast<std::size_t>(index)];
    if (!entry.used || passed == kCachedExpressions) return index;
    entry.used = false;
  }
}

ExpressionCache::Slot* ExpressionCache::FreeSlot(unsigned hash) {
  unsigned first = hash % kSlots;
  // A slot whose entry was handed to another statement holds nothing.
  auto holds = [this](const Slot& slot) {
    return slot.entry >= 0 && entries_[static_cast<std::size_t>(slot.entry)].hash == slot.hash;
  };
  for (unsigned way = 0; way < 2; ++way) {
    if (!holds(slots_[first ^ way])) return &slots_[first ^ way];
  }
  for (unsigned way = 0; way < 2; ++way) {
    Slot& slot = slots_[first ^ way];
    if (!entries_[static_cast<std::size_t>(slot.entry)].used) return &slot;
  }
  return &slots_[first];
}

void ExpressionCache::Forget(std::string_view text) {
  if (Slot* slot = SlotOf(HashText(text), text)) slot->entry = -1;
}

}  // namespace stackcc
