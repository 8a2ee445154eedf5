// Warnings about statements that mean something else here than in C: a switch
// subject with a side effect (evaluated again for every case tested), and a
// statement whose first name is read as a keyword because "_" ends a keyword.
#pragma once

#include <string_view>

#include "base/compiler.h"
#include "base/fixed_text.h"

namespace stackcc {

// Reports a switch subject that calls, assigns, increments or decrements.
void WarnSwitchSubject(Compiler& c, std::string_view subject);

// What a side effect in an expression text is ("calls 'f'", "assigns",
// "increments or decrements"), empty when it has none. Strings are skipped.
FixedText<160> SideEffectOf(std::string_view text);

// The statement at the cursor begins with an opening word followed by "_"
// (do_step, int_count): the word and the whole name, noted before the statement
// is compiled, and whether the warning has been given.
struct KeywordPrefix {
  std::string_view word;
  FixedText<128> name;
  int position = -1;
  bool told = false;
};

// Empty unless -Wkeyword-prefix is on and the cursor stands on such a name.
KeywordPrefix FindKeywordPrefix(const Compiler& c);
// The statement was read with that word as its keyword: reports it once.
void WarnKeywordPrefix(Compiler& c, KeywordPrefix& prefix);

}  // namespace stackcc
