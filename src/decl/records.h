// The records of the symbol, member and dimension tables.
#pragma once

#include "base/fixed_text.h"
#include "base/text_helpers.h"
#include "decl/symbol_name.h"

namespace stackcc {

constexpr int kSymbolNameCapacity = 80;
constexpr int kTypeNameCapacity = 128;
// The mark between a structure's tag and a member's name in the member's
// symbol name ("point_ST_x").
constexpr std::string_view kMemberMark = "_ST_";

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

}  // namespace stackcc
