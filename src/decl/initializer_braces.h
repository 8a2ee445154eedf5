// The warning about inner braces in the initialiser of an array of structures.
#pragma once

#include <string_view>

#include "base/compiler.h"

namespace stackcc {

// The data walk gives each value at the top level of the list the structure's
// next member; a brace group there is taken as the values of one member, not
// as one element as in C. Reports the first such group that a member which is
// no array (and no structure) takes. tag: the elements' structure tag.
void WarnInitializerBraces(Compiler& c, std::string_view name, std::string_view tag,
                           std::string_view value);

}  // namespace stackcc
