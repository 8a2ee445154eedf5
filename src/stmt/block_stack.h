// Helpers shared by the statement handlers: opening blocks on the block stack,
// reading a head's parenthesised group, and the names of numbered labels.
#pragma once

#include <string_view>

#include "base/fixed_text.h"

namespace stackcc {

struct Compiler;

// True when a block may be opened at the current level. Beyond the deepest level
// the opening is reported and counted as an overflow block (false): the head then
// emits nothing, and its closing brace is absorbed.
bool CheckNesting(Compiler& c);
// Starts opening a block at the current level: advances that level's counter and
// makes it the label number; false when CheckNesting refuses the block.
bool BeginBlock(Compiler& c);
// Finishes the opening: the level's record gets its kind and the level rises.
void PushBlock(Compiler& c, int kind);

// Reads a head's required parenthesised group into the head text; false when
// the group is missing (already reported by the reader). A value group (the
// condition of if and while, a switch's subject) that is empty or blank is
// reported as an expression error and counts as missing too.
bool ReadHeadGroup(Compiler& c, bool valueGroup);

// Ends a function's value: the "return" line, after a CHANGE_SIZE when the value
// (of valueSize bytes, -1 for none) has another size than the function's.
void EmitReturn(Compiler& c, int valueSize, int functionSize);

// The current function's name: the function label without its "_func_".
std::string_view CurrentFunctionName(const Compiler& c);

// A label name with a decimal number joined to it ("CASE_" and 3 give "CASE_3").
FixedText<32> NumberedName(std::string_view prefix, int number);

}  // namespace stackcc
