// Data layout: every variable is a labelled data item in a section file
// (.002 fixed data and string literals, .003 initialised, .004 uninitialised).
#pragma once

#include <string_view>

#include "decl/tables.h"
#include "driver/fixed_text.h"

namespace stackcc {

struct Compiler;

void DeclareScalar(Compiler& c, NameBuffer& name, int ptr, int typeSize, int externFlag,
                   std::string_view typeName, int memberFlag);
void DeclareScalarInit(Compiler& c, NameBuffer& name, std::string_view value, int ptr, int typeSize,
                       int externFlag, std::string_view typeName, int memberFlag);
void DeclareArray(Compiler& c, NameBuffer& name, std::string_view dims, int typeSize, int ptr,
                  int externFlag, std::string_view typeName, int memberFlag);
void DeclareArrayInit(Compiler& c, NameBuffer& name, std::string_view dims, int typeSize,
                      std::string_view value, int ptr, int externFlag, std::string_view typeName,
                      int memberFlag);

void EmitLabel(Compiler& c, std::string_view name);
void EmitData(Compiler& c, std::string_view text, int elemSize, int totalSize,
              std::string_view typeName);
int ArrayByteSize(std::string_view dims, int elemSize);

// Replaces every string literal of an expression text by the label of a new data
// item in .002; 0 when a literal is not closed.
int HoistStringLiterals(Compiler& c, FixedText<1024>& text);

}  // namespace stackcc
