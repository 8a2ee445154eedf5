// The symbol, member and dimension tables (c.decl): appending records, the
// scoped lookups with their hash index, parameter counts and element sizes.
// This file owns the tables' contents; everything else goes through it.
#include "decl/tables.h"

#include <cstdint>
#include <cstring>

#include "base/byte_scan.h"
#include "base/compiler.h"
#include "base/text_helpers.h"
#include "io/diagnostics.h"

namespace stackcc {

namespace {

// Products and sums of sizes wrap as 32-bit integers do on the target.
int Wrap32(std::int64_t value) {
  return static_cast<int>(static_cast<std::uint32_t>(value));
}

// Where the mark of a function label starts in name; npos when it has none.
// Names are short: a plain walk costs less than the library's search.
std::size_t FuncMarkAt(std::string_view name) {
  for (std::size_t i = 0; i + kFunctionMark.size() <= name.size(); ++i) {
    if (name[i] == '_' && SameBytes(name.data() + i, kFunctionMark.data(), kFunctionMark.size()))
      return i;
  }
  return std::string_view::npos;
}

// The record index of a name compared exactly, 0 for the empty name, -1 when absent.
int ExactIndex(const DeclState& d, std::string_view name) {
  if (name.empty()) return 0;
  return d.symbolIndex.Find(d.symbols, name, {}, SymbolIndex::StoredKeyHash(name));
}

// The key hash part of the current function's label.
unsigned CurrentLabelHash(DeclState& d) {
  if (!SameText(d.hashedLabel.view(), d.currentFunctionLabel.view())) {
    d.hashedLabel.assign(d.currentFunctionLabel.view());
    d.labelHash = SymbolIndex::PartHash(d.hashedLabel.view());
  }
  return d.labelHash;
}

}  // namespace

// The search behind every lookup: the name with the current function's label
// appended (unless it already carries one), then the name exactly as asked.
int LookUpSymbol(Compiler& c, std::string_view name) {
  DeclState& d = c.decl;
  std::string_view label = d.currentFunctionLabel.view();
  // A scoped form longer than a name field cannot have been stored.
  if (label.empty() || FuncMarkAt(name) != std::string_view::npos ||
      name.size() + label.size() >= kSymbolNameCapacity) {
    return ExactIndex(d, name);
  }
  unsigned nameHash = SymbolIndex::PartHash(name);
  // A name ending in "_func" meets the label's mark inside itself: the
  // scoped form then splits elsewhere.
  unsigned scopedHash = SymbolIndex::KeyHash(nameHash, CurrentLabelHash(d));
  if (name.ends_with("_func")) {
    NameBuffer scoped(name);
    scoped.append(label);
    scopedHash = SymbolIndex::StoredKeyHash(scoped.view());
  }
  int i = d.symbolIndex.Find(d.symbols, name, label, scopedHash);
  if (i >= 0) return i;
  if (name.empty()) return 0;
  return d.symbolIndex.Find(d.symbols, name, {}, SymbolIndex::KeyHash(nameHash, 0));
}

unsigned SymbolIndex::PartHash(std::string_view part) {
  // Eight bytes at a time: names are a few words long.
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ part.size();
  const char* p = part.data();
  std::size_t n = part.size();
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    h = (h ^ w) * 0xff51afd7ed558ccdull;
    h ^= h >> 32;
  }
  if (n > 0) {
    std::uint64_t w = 0;
    for (std::size_t k = 0; k < n; ++k)
      w |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[k])) << (8 * k);
    h = (h ^ w) * 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 29;
  }
  return part.empty() ? 0 : static_cast<unsigned>(h ^ (h >> 32));
}

unsigned SymbolIndex::StoredKeyHash(std::string_view stored) {
  std::size_t mark = FuncMarkAt(stored);
  if (mark == std::string_view::npos) return KeyHash(PartHash(stored), 0);
  return KeyHash(PartHash(stored.substr(0, mark)), PartHash(stored.substr(mark)));
}

namespace {

const TagMembers* MembersOf(const DeclState& d, std::string_view tag) {
  auto it = d.memberIndex.find(tag);
  return it == d.memberIndex.end() ? nullptr : &it->second;
}

// Adds the member record of a structure member and rewrites the name to
// tag + "_ST_" + member. False when the member cannot be stored (reported).
bool AddMember(Compiler& c, NameBuffer& name, int elemSize, int kind, int isArray, int indirection,
               int totalSize, std::string_view owner) {
  DeclState& d = c.decl;
  std::size_t cut = name.find(kFunctionMark);
  if (cut != NameBuffer::npos) name.truncate(cut);
  if (owner.size() >= kSymbolNameCapacity || name.size() >= kSymbolNameCapacity) {
    ReportError(c, kErrNameLength, name.view());
    return false;
  }
  if (d.memberCount >= kMemberRecords - 1) {
    ReportError(c, kErrMemberTableFull, name.view());
    return false;
  }
  int m = ++d.memberCount;
  MemberRecord& r = d.members[m];
  r.owner = owner;
  r.member = name.view();
  r.elemSize = elemSize;
  r.totalSize = totalSize;
  r.offset = d.structOffset;
  r.kind = kind;
  r.isArray = isArray;
  r.indirection = indirection;
  d.structOffset = Wrap32(static_cast<std::int64_t>(d.structOffset) + totalSize);
  TagMembers& list = d.memberIndex.try_emplace(std::string(owner)).first->second;
  list.records.push_back(m);
  list.totalSize = Wrap32(static_cast<std::int64_t>(list.totalSize) + totalSize);
  FixedText<kSymbolNameCapacity> member(name.view());
  name.assign(owner);
  name.append(kMemberMark);
  name.append(member.view());
  return true;
}

// Appends a new symbol record; false when it cannot be stored (reported).
bool AddSymbol(Compiler& c, std::string_view name, int elemSize, int kind, int isArray,
               int indirection, std::string_view typeName, int paramCount) {
  DeclState& d = c.decl;
  if (name.size() >= kSymbolNameCapacity) {
    ReportError(c, kErrNameLength, name);
    return false;
  }
  if (typeName.size() >= kTypeNameCapacity) {
    ReportError(c, kErrTypeNameLength, typeName);
    return false;
  }
  if (d.symbolCount >= kSymbolRecords - 1) {
    ReportError(c, kErrSymbolTableFull, name);
    return false;
  }
  int i = ++d.symbolCount;
  SymbolRecord& r = d.symbols[i];
  r.name = name;
  r.typeNameId = d.typeNames.Intern(typeName);
  r.sizes[0] = elemSize;
  for (int k = 1; k <= 4; ++k) r.sizes[k] = 4;
  r.kind = kind;
  r.isArray = isArray;
  r.indirection = indirection;
  if (paramCount != -2) r.paramCount = paramCount;
  d.symbolIndex.Add(d.symbols, i);
  return true;
}

}  // namespace

void DeclareSymbol(Compiler& c, NameBuffer& name, int elemSize, int kind, int isArray,
                   int indirection, int totalSize, std::string_view typeName, int memberFlag,
                   int paramCount, std::string_view ownTag) {
  std::string_view symbolType = typeName;
  if (memberFlag == 1) {
    if (!AddMember(c, name, elemSize, kind, isArray, indirection, totalSize, typeName)) return;
    c.decl.members[c.decl.memberCount].structure = !ownTag.empty();
    if (!ownTag.empty()) symbolType = ownTag;
  }
  int found = LookUpSymbol(c, name.view());
  if (found >= 0) {
    // A repeated array is silently kept as it is; anything else is a redefinition.
    if (c.decl.symbols[found].kind != SymArray) ReportError(c, kErrAlreadyDefined, name);
    return;
  }
  if (AddSymbol(c, name.view(), elemSize, kind, isArray, indirection, symbolType, paramCount)) {
    NoteDeclaredSymbol(c, c.decl.symbolCount, memberFlag);
  }
}

void SetParamCount(Compiler& c, std::string_view name, int count) {
  int i = ExactIndex(c.decl, name);
  if (i < 0) {
    ReportError(c, kErrNotFound, name);
    return;
  }
  SymbolRecord& r = c.decl.symbols[i];
  if (r.paramCount != count && r.paramCount >= 0) ReportError(c, kErrParamCount, name);
  if (i > 0) r.paramCount = count;  // record 0 stays empty
}

int FindSymbol(Compiler& c, std::string_view name) {
  int i = LookUpSymbol(c, name);
  if (i >= 0) return i;
  ReportError(c, kErrNotFound, name);
  return 0;
}

int SymbolExists(Compiler& c, std::string_view name) {
  return LookUpSymbol(c, name) >= 0 ? 1 : 0;
}

int SymbolElementSize(Compiler& c, std::string_view name) {
  int i = LookUpSymbol(c, name);
  if (i >= 0) return c.decl.symbols[i].sizes[0];
  ReportError(c, kErrNotFound, name);
  return 0;
}

int TypeNameTable::Intern(std::string_view name) {
  if (name.empty()) return 0;
  auto it = ids_.find(name);
  if (it != ids_.end()) return it->second;
  names_.emplace_back(name);
  int id = static_cast<int>(names_.size());
  ids_.emplace(names_.back().view(), id);
  return id;
}

namespace {

// Whether record r names a member that is a structure (its type name is then
// its own tag, not its owner's). A name with the member mark that is no
// member is an ordinary symbol.
bool IsStructurePointerRecord(const DeclState& d, const SymbolRecord& r) {
  std::string_view name = r.name.view();
  for (std::size_t mark = name.find(kMemberMark); mark != std::string_view::npos;
       mark = name.find(kMemberMark, mark + 1)) {
    const TagMembers* owner = MembersOf(d, name.substr(0, mark));
    if (owner == nullptr) continue;
    std::string_view member = name.substr(mark + kMemberMark.size());
    for (int m : owner->records) {
      if (d.members[m].member == member) return d.members[m].structure;
    }
  }
  return true;
}

}  // namespace

void CompleteStructure(Compiler& c, std::string_view tag) {
  DeclState& d = c.decl;
  const TagMembers* list = MembersOf(d, tag);
  if (tag.empty() || list == nullptr) return;
  int id = d.typeNames.Intern(tag);
  for (int i = 1; i <= d.symbolCount; ++i) {
    SymbolRecord& r = d.symbols[i];
    if (r.kind != SymPointer || r.typeNameId != id || r.sizes[0] == list->totalSize) continue;
    if (IsStructurePointerRecord(d, r)) r.sizes[0] = list->totalSize;
  }
}

int StructSize(Compiler& c, std::string_view tag) {
  const TagMembers* list = MembersOf(c.decl, tag);
  return list == nullptr ? 0 : list->totalSize;
}

bool FindMemberOffset(const DeclState& d, std::string_view tag, std::string_view member,
                      int& offset) {
  std::size_t mark = member.find(kMemberMark);
  if (mark != std::string_view::npos) member.remove_prefix(mark + kMemberMark.size());
  if (const TagMembers* list = MembersOf(d, tag)) {
    for (int m : list->records) {
      if (d.members[m].member == member) {
        offset = d.members[m].offset;
        return true;
      }
    }
  }
  return false;
}

int MemberOffsetOf(Compiler& c, std::string_view tag, std::string_view member) {
  int offset = 0;
  if (FindMemberOffset(c.decl, tag, member, offset)) {
    return offset;
  }
  ReportError(c, kErrStructUndefined, "");
  return 0;
}

int NextMember(Compiler& c, std::string_view tag) {
  DeclState& d = c.decl;
  if (tag.empty()) {
    d.memberCursor = 0;
    return 0;
  }
  ++d.memberCursor;
  const TagMembers* list = MembersOf(d, tag);
  if (list == nullptr || list->records.empty()) {
    ReportError(c, kErrArray, "Invalid size...");
    return -1;
  }
  if (d.memberCursor < 1 || d.memberCursor > static_cast<int>(list->records.size())) {
    d.memberCursor = 1;  // the walk wraps round: arrays of structures
  }
  return list->records[static_cast<std::size_t>(d.memberCursor - 1)];
}

void RecordDimensions(Compiler& c, std::string_view name, std::string_view dims) {
  DeclState& d = c.decl;
  // The declaration has just been made, so the name is only missing when its record
  // could not be stored (already reported). Record 0, which answers for the empty
  // name, is never written.
  int i = LookUpSymbol(c, name);
  if (i <= 0) return;
  if (d.dimensionCount >= kDimensionRecords) {
    ReportError(c, kErrDimensionTableFull, name);
    return;
  }
  if (dims.size() > 99) {
    ReportError(c, kErrDimensionLength, dims);
    dims = dims.substr(0, 99);
  }
  SymbolRecord& r = d.symbols[i];
  DimensionRecord& dim = d.dimensions[d.dimensionCount];
  r.dimIndex = d.dimensionCount;
  std::int64_t running = r.sizes[0];
  int count = 0;
  auto skip = [&](std::size_t p, std::string_view set) {
    while (p < dims.size() && set.find(dims[p]) != std::string_view::npos) ++p;
    return p;
  };
  std::size_t p = skip(0, " [");
  while (p < dims.size()) {
    std::size_t q = p;
    while (q < dims.size() && IsDigit(dims[q])) ++q;
    if (count == kMaxDimensions) {
      ReportError(c, kErrDimensionCount, name);
      break;
    }
    int value = ReadDecimal(dims.substr(p, q - p));
    running = Wrap32(running * value);
    dim.values[1 + count] = value;
    r.sizes[2 + count] = static_cast<int>(running);
    ++count;
    p = q < dims.size() ? q + 1 : q;
    p = skip(p, " []");
  }
  dim.values[0] = count;
  ++d.dimensionCount;
}

}  // namespace stackcc
