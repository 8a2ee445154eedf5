// Declaration statements: int, char, long, structures, pointers, arrays,
// initialisers and comma lists, with extern, fixed and public.
#pragma once

#include <string_view>

#include "base/fixed_text.h"

namespace stackcc {

struct Compiler;

// Each returns 1 when the text at the cursor was its construct (consumed, even
// after an error report), 0 when it was not.
// A declaration statement; typeName and memberFlag 1 while a structure's member
// statements are read.
int CompileDeclaration(Compiler& c, std::string_view typeName, int memberFlag);
// Whether a statement beginning with this byte (after its blanks) may be a
// declaration; the handler turns down every other statement at once.
bool MayOpenDeclaration(char first);
// "struct" with a tag: a definition with its member list and/or declarators.
int CompileStructDeclaration(Compiler& c, std::string_view ownerTag, int memberFlag,
                             int externFlag);
// The declarator list after a type keyword (none for structures). A name followed
// by "(" hands the statement to the function-definition handler; when that handler
// does not take it the result is 0. ownTag: see DeclareSymbol.
int CompileDeclarators(Compiler& c, std::string_view typeKeyword, int typeSize, int externFlag,
                       std::string_view typeName, int memberFlag, std::string_view ownTag = {});

}  // namespace stackcc
