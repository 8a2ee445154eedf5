// Declaration statements: reads the type words, declarators, members and
// initialiser lists of int, char, long and struct declarations, enters each
// name into the symbol tables (c.decl) and hands the data to data_layout.cpp;
// function heads go on to the statement layer. Owns no state of its own.
#include "decl/declarations.h"

#include <array>

#include "base/bytes.h"
#include "base/compiler.h"
#include "decl/data_layout.h"
#include "decl/initializer_braces.h"
#include "decl/opening_words.h"
#include "decl/tables.h"
#include "io/diagnostics.h"
#include "io/output.h"
#include "scanner/scanner.h"

namespace stackcc {

namespace {

// Declarations nested deeper than this (structures inside structures, function
// heads inside declarations) are refused, so no input can exhaust the stack.
constexpr int kMaxDeclarationDepth = 64;

struct DeclaratorType {
  std::string_view keyword;  // "int", "char", "long", or empty for structures
  int size = 0;
  int externFlag = 0;
  std::string_view typeName;  // structure tag, or the owning tag for members
  int memberFlag = 0;
  std::string_view ownTag;
};

enum class Step { kNext, kEnd, kHanded, kNotTaken };

// The listing line (the name) and the header's extern line of a public declarator.
void WritePublicLines(Compiler& c, const DeclaratorType& t, std::string_view name, int pointer,
                      std::string_view dims) {
  WriteSideFile(c, c.out.listing, name);
  WriteSideFile(c, c.out.listing, "\r\n");
  OutFile& h = c.out.header;
  WriteSideFile(c, h, "extern ");
  if (!t.typeName.empty()) {
    WriteSideFile(c, h, "struct ");
    WriteSideFile(c, h, t.typeName);
    WriteSideFile(c, h, " ");
  }
  WriteSideFile(c, h, t.keyword);
  WriteSideFile(c, h, " ");
  if (pointer != 0) WriteSideFile(c, h, "*");
  WriteSideFile(c, h, name);
  WriteSideFile(c, h, dims);
  WriteSideFile(c, h, ";\r\n");
}

// A scalar's value may be a negative number: "-", blanks, digits. Anything else
// after a "-" leaves the cursor (and the emit buffer) as they were.
bool ReadNegativeNumber(Compiler& c, FixedText<kNumberCapacity + 1>& out) {
  ScanCursor start = c.scan.cur;
  std::size_t emitted = c.out.emit.size();
  if (MatchText(c, "-") != 0 && (SkipBlanks(c), IsDigit(ScanChar(c)))) {
    out.assign("-");
    out.append(ReadNumber(c, true));
    return true;
  }
  c.scan.cur = start;
  c.out.emit.truncate(emitted);
  return false;
}

// An initialised scalar after its "=": the value, then "," for another declarator;
// anything else ends the statement, leaving its ";" for the next one.
Step ScalarWithValue(Compiler& c, const DeclaratorType& t, NameBuffer& name, int pointer) {
  FixedText<kNumberCapacity + 1> negative;
  std::string_view value = ReadNegativeNumber(c, negative) ? negative.view() : ReadDatum(c, true);
  DeclareScalarInit(c, name, value, pointer, t.size, t.externFlag, t.typeName, t.memberFlag,
                    t.ownTag);
  return MatchText(c, ",") != 0 ? Step::kNext : Step::kEnd;
}

// An array declarator from its first "["; kEnd with handled false when neither
// "=", "," nor ";" follows (the caller then tries a scalar initialiser).
Step ArrayDeclarator(Compiler& c, const DeclaratorType& t, NameBuffer& name, int pointer,
                     bool isPublic, bool& handled) {
  FixedText<32> dims(ReadBrackets(c, true));
  if (isPublic) WritePublicLines(c, t, name.view(), pointer, dims.view());
  handled = true;
  if (MatchText(c, "=") != 0) {
    std::string_view value = ReadDatum(c, true);
    if (t.memberFlag == 0 && t.externFlag == 0 && pointer == 0) {
      WarnInitializerBraces(c, name.view(), t.typeName, value);
    }
    DeclareArrayInit(c, name, dims.view(), t.size, value, pointer, t.externFlag, t.typeName,
                     t.memberFlag, t.ownTag);
    if (MatchText(c, ",") != 0) return Step::kNext;
    if (MatchText(c, ";") != 0) return Step::kEnd;
    handled = false;
    return Step::kEnd;
  }
  bool comma = MatchText(c, ",") != 0;
  if (comma || MatchText(c, ";") != 0) {
    DeclareArray(c, name, dims.view(), t.size, pointer, t.externFlag, t.typeName, t.memberFlag,
                 t.ownTag);
    return comma ? Step::kNext : Step::kEnd;
  }
  handled = false;
  return Step::kEnd;
}

// One declarator: an optional "*", the name, then what follows it.
Step CompileOneDeclarator(Compiler& c, const DeclaratorType& t, bool isPublic,
                          const ScanCursor& start) {
  int pointer = MatchText(c, "*");
  NameBuffer name(ReadName(c, true));
  name.append(c.decl.currentFunctionLabel.view());
  if (MatchText(c, "(") != 0) {
    c.scan.cur = start;  // the function handler reads the statement from its start
    bool taken = c.decl.compileFunctionHead != nullptr && c.decl.compileFunctionHead(c) != 0;
    return taken ? Step::kHanded : Step::kNotTaken;
  }
  bool end = MatchText(c, ";") != 0;
  if (end || MatchText(c, ",") != 0) {
    if (isPublic) WritePublicLines(c, t, name.view(), pointer, "");
    DeclareScalar(c, name, pointer, t.size, t.externFlag, t.typeName, t.memberFlag, t.ownTag);
    return end ? Step::kEnd : Step::kNext;
  }
  bool publicWritten = false;
  if (PeekText(c, "[") != 0) {
    bool handled = false;
    Step s = ArrayDeclarator(c, t, name, pointer, isPublic, handled);
    if (handled) return s;
    publicWritten = isPublic;
  }
  if (MatchText(c, "=") == 0) return Step::kEnd;  // dropped without a report
  if (isPublic && !publicWritten) WritePublicLines(c, t, name.view(), pointer, "");
  return ScalarWithValue(c, t, name, pointer);
}

int CompileDeclaratorList(Compiler& c, const DeclaratorType& t, bool forcePublic) {
  ScanCursor start = c.scan.cur;
  bool isPublic = MatchKeyword(c, "public") != 0 || forcePublic;
  if (!t.keyword.empty() && MatchKeyword(c, t.keyword) == 0) {
    c.scan.cur = start;
    return 0;
  }
  for (;;) {
    Step s = CompileOneDeclarator(c, t, isPublic, start);
    if (s == Step::kHanded) return 1;  // the emit buffer holds the function's code
    if (s == Step::kNotTaken) return 0;
    if (s == Step::kEnd) break;
  }
  FlushSection3(c);
  return 1;
}

// The types in the order of the opening words' type rank (int, char, long,
// then structures); 1 for the first that takes the text.
int TryTypes(Compiler& c, int externFlag, std::string_view typeName, int memberFlag) {
  for (const OpeningWord* type : kTypeOrder) {
    int taken =
        type->role == WordRole::kStructure
            ? CompileStructDeclaration(c, typeName, memberFlag, externFlag)
            : CompileDeclarators(c, type->word, type->size, externFlag, typeName, memberFlag);
    if (taken != 0) return 1;
  }
  return 0;
}

// The member statements up to "}"; a statement that is not a declaration ends the
// list (its error 47 has been reported once).
void ReadMembers(Compiler& c, std::string_view tag) {
  c.decl.structOffset = 0;
  while (MatchText(c, "}") == 0) {
    if (CompileDeclaration(c, tag, 1) == 0) break;
  }
  CompleteStructure(c, tag);
}

// The words the declaration reader takes, worked out once.
constexpr struct DeclarationWords {
  std::string_view words[std::size(kOpeningWords)] = {};
  std::size_t count = 0;
  constexpr DeclarationWords() {
    for (const OpeningWord& w : kOpeningWords) {
      if (w.taker == WordTaker::kDeclaration) words[count++] = w.word;
    }
  }
  const std::string_view* begin() const { return words; }
  const std::string_view* end() const { return words + count; }
} kDeclarationWords;

// True when the text at the cursor (blanks already skipped) begins with a word
// that opens a declaration, tested as MatchKeyword tests it. When none does,
// every attempt of a declaration statement fails where it stands and leaves
// the cursor there, so the statement can be turned down at once with the same
// effect.
bool OpensDeclaration(const Compiler& c) {
  std::string_view rest = ScanRest(c);
  if (rest.empty()) return false;
  for (std::string_view word : kDeclarationWords) {
    if (word.front() != rest.front() || !rest.starts_with(word)) continue;
    char after = ScanChar(c, static_cast<int>(word.size()));
    if (!IsLetter(after) && !IsDigit(after)) return true;
  }
  return false;
}

// The bytes a declaration statement can begin with.
constexpr std::array<bool, 256> kOpeningBytes = [] {
  std::array<bool, 256> bytes{};
  for (const OpeningWord& w : kOpeningWords) {
    if (w.taker == WordTaker::kDeclaration)
      bytes[static_cast<unsigned char>(w.word.front())] = true;
  }
  return bytes;
}();

int CompileDeclarationAtDepth(Compiler& c, std::string_view typeName, int memberFlag) {
  DeclState& d = c.decl;
  d.fixedFlag = 0;
  if (memberFlag != 1) {
    // Most statements are turned down here by their first byte; the blank skip
    // is the one the keyword test below would make.
    SkipBlanks(c);
    if (!MayOpenDeclaration(ScanChar(c))) return 0;
  }
  if (MatchKeyword(c, "extern") != 0 || memberFlag == 1) {
    if (TryTypes(c, 1, typeName, memberFlag) != 0) return 1;
    ReportError(c, kErrExternDeclaration, "");
  } else if (!OpensDeclaration(c)) {
    return 0;
  }
  if (MatchKeyword(c, "fixed") != 0) {
    d.fixedFlag = 1;
    if (TryTypes(c, 0, typeName, memberFlag) != 0) return 1;
    ReportError(c, kErrExternDeclaration, "");
  }
  return TryTypes(c, 0, typeName, memberFlag);
}

}  // namespace

bool MayOpenDeclaration(char first) {
  return kOpeningBytes[static_cast<unsigned char>(first)];
}

int CompileDeclaration(Compiler& c, std::string_view typeName, int memberFlag) {
  DeclState& d = c.decl;
  if (d.declarationDepth >= kMaxDeclarationDepth) {
    ReportError(c, kErrBlockNesting, "");
    return 0;
  }
  ++d.declarationDepth;
  int taken = CompileDeclarationAtDepth(c, typeName, memberFlag);
  --d.declarationDepth;
  return taken;
}

int CompileStructDeclaration(Compiler& c, std::string_view ownerTag, int memberFlag,
                             int externFlag) {
  ScanCursor start = c.scan.cur;
  bool isPublic = MatchKeyword(c, "public") != 0;
  if (MatchKeyword(c, "struct") == 0) {
    c.scan.cur = start;
    return 0;
  }
  FixedText<kTypeNameCapacity> tag(ReadName(c, true));
  if (MatchText(c, "{") != 0) ReadMembers(c, tag.view());
  if (MatchText(c, ";") != 0) return 1;  // a definition alone
  DeclaratorType t{"", StructSize(c, tag.view()), externFlag, tag.view(), memberFlag, {}};
  if (memberFlag == 1) {
    // A member of structure type belongs to the owner and keeps its own tag.
    t.typeName = ownerTag;
    t.ownTag = tag.view();
    CompileDeclaratorList(c, t, false);
    return 1;
  }
  ScanCursor afterTag = c.scan.cur;
  ReadName(c, false);
  if (MatchText(c, "(") != 0) {
    c.scan.cur = start;  // a function returning a structure: its handler reads it all
    return 0;
  }
  c.scan.cur = afterTag;
  CompileDeclaratorList(c, t, isPublic);
  return 1;
}

int CompileDeclarators(Compiler& c, std::string_view typeKeyword, int typeSize, int externFlag,
                       std::string_view typeName, int memberFlag, std::string_view ownTag) {
  DeclaratorType t{typeKeyword, typeSize, externFlag, typeName, memberFlag, ownTag};
  return CompileDeclaratorList(c, t, false);
}

}  // namespace stackcc
