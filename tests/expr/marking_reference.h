// The three-pass operator marking that the one-pass MarkOperators replaced,
// kept for the differential test only.
#pragma once

#include "expr/expression_parts.h"

namespace stackcc::testing {

bool ReferenceMarkOperators(Compiler& c, ExprText& text);

}  // namespace stackcc::testing
