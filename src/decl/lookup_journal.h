// What the tables answered while one statement was compiled: each name looked
// up with the record it found (and that record's revision), each member offset
// asked for; each question once. Asking the same questions again later, and
// getting the same answers, shows that the statement would compile as it did.
#pragma once

#include <array>
#include <string_view>

#include "decl/records.h"
#include "driver/fixed_text.h"

namespace stackcc {

// Names as long as the journal keeps: the names of statements are short, and
// a statement asking about a longer one is compiled every time instead of
// kept. Every kept statement's journal is part of a cache entry, so its size
// is memory the cache touches.
constexpr int kJournalNameCapacity = 32;

struct SymbolLookup {
  FixedText<kJournalNameCapacity> asked;
  int result = -1;   // the record index, -1 when absent
  int revision = 0;  // the record's revision when it was found
};

struct MemberLookup {
  FixedText<kJournalNameCapacity> tag;
  FixedText<kJournalNameCapacity> member;
  int offset = 0;
};

struct LookupJournal {
  static constexpr int kSymbolLookups = 8;
  static constexpr int kMemberLookups = 4;
  // The counts stand before the entries, on the line the first entry starts.
  int symbolCount = 0;
  int memberCount = 0;
  // More questions than the journal holds, or a name too long to keep: the
  // answers cannot be checked again.
  bool overflowed = false;
  std::array<SymbolLookup, kSymbolLookups> symbols;
  std::array<MemberLookup, kMemberLookups> members;

  void Clear() {
    symbolCount = 0;
    memberCount = 0;
    overflowed = false;
  }
  // Copies the used entries only.
  void CopyFrom(const LookupJournal& other) {
    for (int i = 0; i < other.symbolCount; ++i) symbols[i] = other.symbols[i];
    for (int i = 0; i < other.memberCount; ++i) members[i] = other.members[i];
    symbolCount = other.symbolCount;
    memberCount = other.memberCount;
    overflowed = other.overflowed;
  }
};

}  // namespace stackcc
