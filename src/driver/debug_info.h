// The debug information of -g: <base>.dbg, the source names, types and lines
// of the program's functions, variables and structures, for the simulator's
// debugger (format: docs/output.md, "Debug information").
#pragma once

#include <string>
#include <string_view>

namespace stackcc {

struct Compiler;
struct DimensionRecord;

// The type of an object: the structure tag when there is one, else the scalar
// its element size names (1 char, 8 long, else int); "*" for a pointer.
std::string DebugTypeText(std::string_view structTag, int elementSize, bool pointer);
// The counts of an array's dimensions joined by commas; "-" for none.
std::string DebugDimensionsText(const DimensionRecord& dims);
// A field as a record may hold it: TAB, CR and LF, which would split the
// record, become blanks.
std::string DebugField(std::string_view text);

// The whole file for the run's tables and notes.
std::string DebugInfoText(const Compiler& c);

// Writes <base>.dbg when -g asked for it; false when it could not be written
// (already reported on the console).
bool WriteDebugInfo(Compiler& c);

}  // namespace stackcc
