// Folding of constant arithmetic between literal numbers in bracket text, so that
// [2*8] reaches the declarations as [16].
#pragma once

#include <string_view>

#include "base/fixed_text.h"

namespace stackcc {

// Folds *, then /, then +, then - between literal numbers, left to right.
void FoldConstants(FixedText<32>& text);

}  // namespace stackcc
