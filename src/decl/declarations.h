// Declaration statements: int, char, long, structures, pointers, arrays,
// initialisers and comma lists, with extern, fixed and public.
#pragma once

#include <string_view>

#include "driver/fixed_text.h"

namespace stackcc {

struct Compiler;

int CompileDeclaration(Compiler& c, std::string_view typeName, int memberFlag);
int CompileStructDeclaration(Compiler& c, std::string_view ownerTag, int memberFlag,
                             int externFlag);
int CompileDeclarators(Compiler& c, std::string_view typeKeyword, int typeSize, int externFlag,
                       std::string_view typeName, int memberFlag);
// The store text "$" + the parameter with its type words and stars blanked.
FixedText<120> ParamStoreText(std::string_view param);

}  // namespace stackcc
