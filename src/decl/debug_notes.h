// What the debug information needs beyond the tables: where each function body
// stands in the source and which of its locals are its parameters, noted as the
// function head and its closing brace are compiled. Noted only with -g.
#pragma once

#include <string_view>
#include <vector>

#include "base/fixed_text.h"

namespace stackcc {

struct Compiler;

constexpr int kNotedFileCapacity = 256;
constexpr int kNotedTypeCapacity = 136;  // "struct " and a tag of 127 bytes

struct FunctionNote {
  FixedText<40> name;                        // also the function's entry label
  FixedText<kNotedTypeCapacity> returnType;  // "void", "int", "struct point", ...
  FixedText<kNotedFileCapacity> file;        // as the line markers name it
  int firstLine = 0;                         // the head
  int lastLine = 0;                          // the closing brace (the head while open)
  std::vector<int> parameters;               // their symbol records, in order
};

struct DebugNotes {
  std::vector<FunctionNote> functions;  // in the order their bodies begin
  int open = -1;                        // the function whose body is being compiled
};

// The head of a function body has been compiled (its parameters declared from
// parameterList, the list as written).
void NoteFunctionHead(Compiler& c, std::string_view name, std::string_view returnType,
                      std::string_view parameterList);
// The closing brace of the function body in hand.
void NoteFunctionEnd(Compiler& c);

}  // namespace stackcc
