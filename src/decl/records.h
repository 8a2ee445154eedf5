// The records of the symbol, member and dimension tables.
#pragma once

#include "decl/symbol_name.h"
#include "driver/fixed_text.h"
#include "driver/text_helpers.h"

namespace stackcc {

constexpr int kSymbolNameCapacity = 80;
constexpr int kTypeNameCapacity = 128;

struct SymbolRecord {
  SymbolName<kSymbolNameCapacity> name;
  // The structure tag of the record's type, as its number in the table's type
  // names (0: none). Tags repeat across thousands of records; kept once, they
  // leave the records small enough that a large program touches half the
  // memory for them.
  int typeNameId = 0;
  int sizes[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
  int kind = 0;
  int isArray = 0;
  int indirection = 0;
  int dimIndex = 0;
  int paramCount = 0;
  // Moves on whenever the record is changed after it was added.
  int revision = 0;
};

struct MemberRecord {
  FixedText<kSymbolNameCapacity> owner;
  FixedText<kSymbolNameCapacity> member;
  int elemSize = 0;
  int totalSize = 0;
  int offset = 0;
  int kind = 0;
  int isArray = 0;
  int indirection = 0;
  bool structure = false;  // the member is itself a structure
};

struct DimensionRecord {
  int values[11] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
};

// Equal in everything the code of an operand depends on: all but the name and
// the index of the dimension record (whose values are compared instead).
inline bool SameShape(const SymbolRecord& a, const SymbolRecord& b) {
  if (a.kind != b.kind || a.isArray != b.isArray || a.indirection != b.indirection ||
      a.paramCount != b.paramCount || a.typeNameId != b.typeNameId) {
    return false;
  }
  for (int i = 0; i < 9; ++i) {
    if (a.sizes[i] != b.sizes[i]) return false;
  }
  return true;
}

inline bool SameDimensions(const DimensionRecord& a, const DimensionRecord& b) {
  for (int i = 0; i < 11; ++i) {
    if (a.values[i] != b.values[i]) return false;
  }
  return true;
}

}  // namespace stackcc
