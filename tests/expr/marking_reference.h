// The three-pass operator marking that the one-pass MarkOperators replaced, and
// the splitting of a marked text into terms that the lexer replaced; kept for
// the differential tests only.
#pragma once

#include "expr/expression_parts.h"

namespace stackcc::testing {

bool ReferenceMarkOperators(Compiler& c, ExprText& text);
// Cuts a marked text into terms after the last term (from term 0 with reset);
// the index of the last term, -1 when there is none or the statement stopped.
int ReferenceSplitTerms(Compiler& c, std::string_view marked, bool reset, bool references);

}  // namespace stackcc::testing
