// Data layout: every variable is a labelled data item in a section file
// (.002 fixed data and string literals, .003 initialised, .004 uninitialised).
#pragma once

#include <string_view>

#include "base/fixed_text.h"
#include "decl/tables.h"

namespace stackcc {

struct Compiler;

// The four declarators: the symbol, then the label and data of one variable in its
// section (.002 when fixed, else .003 initialised or .004 uninitialised); extern
// declarators and structure members get the symbol only. typeName is the variable's
// structure tag, or for a member the owning structure's tag; ownTag is a member's
// own structure tag (see DeclareSymbol).
void DeclareScalar(Compiler& c, NameBuffer& name, int ptr, int typeSize, int externFlag,
                   std::string_view typeName, int memberFlag, std::string_view ownTag = {});
void DeclareScalarInit(Compiler& c, NameBuffer& name, std::string_view value, int ptr, int typeSize,
                       int externFlag, std::string_view typeName, int memberFlag,
                       std::string_view ownTag = {});
void DeclareArray(Compiler& c, NameBuffer& name, std::string_view dims, int typeSize, int ptr,
                  int externFlag, std::string_view typeName, int memberFlag,
                  std::string_view ownTag = {});
void DeclareArrayInit(Compiler& c, NameBuffer& name, std::string_view dims, int typeSize,
                      std::string_view value, int ptr, int externFlag, std::string_view typeName,
                      int memberFlag, std::string_view ownTag = {});

// Appends name + ":" and CR LF to the emit buffer.
void EmitLabel(Compiler& c, std::string_view name);
// How the values of an initialiser text are laid out.
struct ItemLayout {
  ItemLayout(int elem, int total, std::string_view type = {}, bool pointerValues = false,
             int row = 0)
      : elemSize(elem), totalSize(total), typeName(type), pointer(pointerValues), rowSize(row) {}
  int elemSize;
  int totalSize;              // pads up to this size and checks it; -1: neither
  std::string_view typeName;  // a structure tag: each value takes its member's size
  bool pointer;               // the values are pointers, four bytes each
  int rowSize;                // a string in a list is padded to this many bytes
  // The declarator, named in the report of a string for a pointer member.
  std::string_view name;
};

// Appends the "db"/"dd" lines of an initialiser text (numbers, a "-" before a
// number that follows "{", "," or the start, quoted three-digit codes, brace
// lists) and pads with "db 0 DUP n" up to the total size.
void EmitData(Compiler& c, std::string_view text, const ItemLayout& layout);
// The product of the bracket groups' numbers times the element size.
int ArrayByteSize(std::string_view dims, int elemSize);

// Replaces every string literal of an expression text by the label of a new data
// item in .002; 0 when a literal is not closed. An emit buffer holding only marker
// lines goes to .002 ahead of the item and is replaced by the last marker line; one
// holding code or labels stays where it is.
int HoistStringLiterals(Compiler& c, FixedText<1024>& text);

}  // namespace stackcc
