// The symbol, member and dimension tables, with scoping by name: a name declared
// inside a function carries "_func_" + the function's name, structure members are
// stored as tag + "_ST_" + member. Tables are append-only; record 0 of the symbol
// and member tables is never written and holds the empty name.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/fixed_text.h"
#include "base/lazy_table.h"
#include "base/text_helpers.h"
#include "decl/debug_notes.h"
#include "decl/records.h"
#include "decl/usage.h"

namespace stackcc {

struct Compiler;

constexpr int kSymbolRecords = 5000;
static_assert(kSymbolRecords <= 65535, "the symbol index keeps record numbers in 16 bits");
constexpr int kMemberRecords = 1000;
constexpr int kDimensionRecords = 1000;
constexpr int kMaxDimensions = 7;
constexpr int kFunctionLabelCapacity = 40;

enum SymbolKind : int { SymScalar = 0, SymPointer = 1, SymArray = 2, SymFunction = 3 };

// Hash and equality that accept a string_view, so lookups need no copy of the name.
struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
struct NameEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return a == b; }
};

// Name -> lowest symbol record, by open addressing over the records' own names.
// A stored name is keyed by its two parts around its first "_func_": the name
// before the function label and the label (empty for a global). A lookup so
// hashes the name asked for once, and takes the label's hash from the current
// function, for both of its probes.
class SymbolIndex {
 public:
  static constexpr unsigned kSlots = 8192;
  static_assert(kSlots > 5000, "the index must keep free slots");

  // The hash of one part of a key (0 for the empty part).
  static unsigned PartHash(std::string_view part);
  // The key hash of a name of two parts given by their hashes.
  static unsigned KeyHash(unsigned nameHash, unsigned labelHash) {
    unsigned h = nameHash ^ (labelHash * 0x9E3779B1u);
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    return h;
  }
  // The key hash of a stored name, split at its first "_func_".
  static unsigned StoredKeyHash(std::string_view stored);

  // The record named name + label, whose key hash is h; -1 when absent.
  template <typename Records>
  int Find(const Records& records, std::string_view name, std::string_view label,
           unsigned h) const {
    if (slots_.empty()) return -1;
    std::uint16_t tag = TagOf(h);
    for (unsigned slot = h & kMask; slots_[slot].record != 0; slot = (slot + 1) & kMask) {
      if (slots_[slot].tag != tag) continue;
      std::string_view stored = records[slots_[slot].record].name.view();
      if (stored.size() == name.size() + label.size() &&
          SameBytes(stored.data(), name.data(), name.size()) &&
          SameBytes(stored.data() + name.size(), label.data(), label.size())) {
        return slots_[slot].record;
      }
    }
    return -1;
  }
  // Enters record i under its name. The callers add only names not yet in the
  // table; were one there, it would still be found first, as it stands earlier
  // on the probe path.
  template <typename Records>
  void Add(const Records& records, int i) {
    if (slots_.empty()) slots_.resize(kSlots);
    unsigned h = StoredKeyHash(records[i].name.view());
    unsigned slot = h & kMask;
    while (slots_[slot].record != 0) slot = (slot + 1) & kMask;
    slots_[slot] = {TagOf(h), static_cast<std::uint16_t>(i)};
  }

 private:
  static constexpr unsigned kMask = kSlots - 1;
  // The hash bits above those that chose the slot, kept to pass over most
  // other names without reading their records.
  static std::uint16_t TagOf(unsigned h) { return static_cast<std::uint16_t>(h >> 16); }
  // Four bytes a slot: the whole index is 32 KB.
  struct Slot {
    std::uint16_t tag = 0;
    std::uint16_t record = 0;  // 0 for a free slot
  };
  // Made on the first Add, all free.
  std::vector<Slot> slots_;
};

// The type names of the symbol records, each kept once under a number; the
// empty name is number 0.
class TypeNameTable {
 public:
  // The number of name, entered when it is new. name fits a type name field.
  int Intern(std::string_view name);
  std::string_view Name(int id) const {
    return id > 0 && static_cast<std::size_t>(id) <= names_.size()
               ? names_[static_cast<std::size_t>(id) - 1].view()
               : std::string_view();
  }

 private:
  // A deque keeps its texts in place as it grows, so the index may refer to
  // them instead of holding copies.
  std::deque<FixedText<kTypeNameCapacity>> names_;
  std::unordered_map<std::string_view, int> ids_;
};

// The members of one structure tag, in table order, and their summed size.
struct TagMembers {
  std::vector<int> records;
  int totalSize = 0;
};

struct DeclState {
  LazyTable<SymbolRecord, kSymbolRecords> symbols;
  int symbolCount = 0;
  TypeNameTable typeNames;
  LazyTable<MemberRecord, kMemberRecords> members;
  int memberCount = 0;
  LazyTable<DimensionRecord, kDimensionRecords> dimensions;
  int dimensionCount = 0;
  int structOffset = 0;
  int memberCursor = 0;
  FixedText<kFunctionLabelCapacity> currentFunctionLabel;
  // The label whose key hash was last worked out, and that hash.
  FixedText<kFunctionLabelCapacity> hashedLabel;
  unsigned labelHash = 0;
  int fixedFlag = 0;
  int auxStringCounter = 0;
  // Name -> lowest record index, so lookups give the first match without a scan.
  // Record 0 (the empty name) is not in the index; the lookups answer it directly.
  SymbolIndex symbolIndex;
  // Owner tag -> its member records, for StructSize, MemberOffsetOf and NextMember.
  std::unordered_map<std::string, TagMembers, NameHash, NameEqual> memberIndex;
  // Declaration statements being compiled inside each other (structure members,
  // function heads met in a declaration).
  int declarationDepth = 0;
  // Compiles a function head met where a declaration was read (a name and "("
  // after the type): the statements' function definition, which the
  // compilation sets; 1 when it took the text.
  int (*compileFunctionHead)(Compiler& c) = nullptr;
  // Calls, reads and definitions seen, for the warnings decided at the end.
  UsageState usage;
  DebugNotes debugNotes;  // with -g: function bodies' lines and parameters
};

// A writable name handed to DeclareSymbol (which may rewrite it).
using NameBuffer = FixedText<256>;

// For a member (memberFlag 1) typeName is the owning structure's tag; ownTag, when
// not empty, is the member's own structure tag and becomes its symbol's typeName.
void DeclareSymbol(Compiler& c, NameBuffer& name, int elemSize, int kind, int isArray,
                   int indirection, int totalSize, std::string_view typeName, int memberFlag,
                   int paramCount, std::string_view ownTag = {});
void SetParamCount(Compiler& c, std::string_view name, int count);
// The record of a name as the current scope sees it: the name with the current
// function's label appended first, then the name as written; -1 when there is
// none (nothing is reported).
int LookUpSymbol(Compiler& c, std::string_view name);
// The same, reporting error 21 (kErrNotFound) for a name that is not found and giving 0.
int FindSymbol(Compiler& c, std::string_view name);
int SymbolExists(Compiler& c, std::string_view name);
int SymbolElementSize(Compiler& c, std::string_view name);
// The structure tag of a record's type ("" for none).
inline std::string_view TypeNameOf(const DeclState& d, const SymbolRecord& r) {
  return d.typeNames.Name(r.typeNameId);
}
// The offset of member in the structure tag; false when there is none (nothing
// is reported).
bool FindMemberOffset(const DeclState& d, std::string_view tag, std::string_view member,
                      int& offset);
int StructSize(Compiler& c, std::string_view tag);
// At the end of a structure's definition: the pointers to it declared before
// its size was known (its own members, struct node *next, among them) point
// to objects of its full size.
void CompleteStructure(Compiler& c, std::string_view tag);
int MemberOffsetOf(Compiler& c, std::string_view tag, std::string_view member);
int NextMember(Compiler& c, std::string_view tag);
void RecordDimensions(Compiler& c, std::string_view name, std::string_view dims);

}  // namespace stackcc
