// The words that open a statement, each once: the types with their sizes, the
// storage and public words, and the statement keywords, with what each opens
// and which handler takes it. The declaration reader, the function header
// reader, the parameter stores and the statement dispatcher all read this one
// table.
#pragma once

#include <iterator>
#include <string_view>

namespace stackcc {

// What a word opens.
enum class WordRole {
  kType,       // a variable's type, with its size in bytes
  kStructure,  // "struct": a structure's tag follows; its size is the structure's
  kVoid,       // a function that returns no value
  kStorage,    // "extern", "fixed": before a declaration
  kPublic,     // "public": before a type or a function head
  kStatement,  // a statement keyword
};

// The handler that takes a statement opened by the word.
enum class WordTaker {
  kDeclaration,  // the declaration reader (a function head goes on to its reader)
  kFunctionHead,
  kFor,
  kIf,
  kElse,
  kWhile,
  kDo,
  kSwitch,
  kCase,
  kReturn,
  kBreak,
  kContinue,
  kDefault,
  kGoto,
  kAsm,
};

struct OpeningWord {
  std::string_view word;
  WordRole role;
  WordTaker taker;
  int size;      // bytes of a type (0 for void)
  int typeRank;  // order in which a declaration tries the types (1 first; 0: not tried)
  int headRank;  // order in which a function head tests the return types (0: not tested)
};

inline constexpr OpeningWord kOpeningWords[] = {
    {"int", WordRole::kType, WordTaker::kDeclaration, 4, 1, 2},
    {"char", WordRole::kType, WordTaker::kDeclaration, 1, 2, 4},
    {"long", WordRole::kType, WordTaker::kDeclaration, 8, 3, 3},
    {"struct", WordRole::kStructure, WordTaker::kDeclaration, 0, 4, 5},
    {"void", WordRole::kVoid, WordTaker::kFunctionHead, 0, 0, 1},
    {"extern", WordRole::kStorage, WordTaker::kDeclaration, 0, 0, 0},
    {"fixed", WordRole::kStorage, WordTaker::kDeclaration, 0, 0, 0},
    {"public", WordRole::kPublic, WordTaker::kDeclaration, 0, 0, 0},
    {"for", WordRole::kStatement, WordTaker::kFor, 0, 0, 0},
    {"if", WordRole::kStatement, WordTaker::kIf, 0, 0, 0},
    {"else", WordRole::kStatement, WordTaker::kElse, 0, 0, 0},
    {"while", WordRole::kStatement, WordTaker::kWhile, 0, 0, 0},
    {"do", WordRole::kStatement, WordTaker::kDo, 0, 0, 0},
    {"switch", WordRole::kStatement, WordTaker::kSwitch, 0, 0, 0},
    {"case", WordRole::kStatement, WordTaker::kCase, 0, 0, 0},
    {"return", WordRole::kStatement, WordTaker::kReturn, 0, 0, 0},
    {"break", WordRole::kStatement, WordTaker::kBreak, 0, 0, 0},
    {"continue", WordRole::kStatement, WordTaker::kContinue, 0, 0, 0},
    {"default", WordRole::kStatement, WordTaker::kDefault, 0, 0, 0},
    {"goto", WordRole::kStatement, WordTaker::kGoto, 0, 0, 0},
    {"ASM", WordRole::kStatement, WordTaker::kAsm, 0, 0, 0},
};

// The word a handler takes (the empty word for none).
constexpr std::string_view WordOf(WordTaker taker) {
  for (const OpeningWord& w : kOpeningWords) {
    if (w.taker == taker && w.role == WordRole::kStatement) return w.word;
  }
  return {};
}

// The words of a rank field in its order (rank 1 first), worked out once.
template <int OpeningWord::*kRank>
struct RankedWords {
  const OpeningWord* words[std::size(kOpeningWords)] = {};
  int count = 0;
  constexpr RankedWords() {
    // Indices, not pointers, while searching: a sanitized build cannot compare
    // pointers into a table in a constant expression.
    for (int rank = 1;; ++rank) {
      std::size_t found = std::size(kOpeningWords);
      for (std::size_t i = 0; i < std::size(kOpeningWords); ++i) {
        if (kOpeningWords[i].*kRank == rank) found = i;
      }
      if (found == std::size(kOpeningWords)) return;
      words[count++] = &kOpeningWords[found];
    }
  }
  const OpeningWord* const* begin() const { return words; }
  const OpeningWord* const* end() const { return words + count; }
};

// The types in the order a declaration tries them: int, char, long, struct.
inline constexpr RankedWords<&OpeningWord::typeRank> kTypeOrder;
// The return types in the order a function head tests them: void, int, long,
// char, struct (a later one overrides an earlier).
inline constexpr RankedWords<&OpeningWord::headRank> kReturnTypeOrder;

}  // namespace stackcc
