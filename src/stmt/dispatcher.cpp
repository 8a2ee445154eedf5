// The statement dispatcher: each Pass-2 text is offered to the statement
// handlers in a fixed order; the first that recognises its construct compiles
// it, and a text no handler takes is an expression statement.
#include <array>
#include <bit>
#include <cstdint>
#include <iterator>

#include "base/bytes.h"
#include "base/compiler.h"
#include "base/text_helpers.h"
#include "decl/declarations.h"
#include "decl/opening_words.h"
#include "expr/expression.h"
#include "io/diagnostics.h"
#include "io/output.h"
#include "io/source_reader.h"
#include "scanner/scanner.h"
#include "stmt/statement_warnings.h"
#include "stmt/statements.h"

namespace stackcc {

namespace {

using Handler = int (*)(Compiler&);

// A handler with the opening word its statement must begin with, which the
// dispatcher matches before it calls the handler (so the handler begins after
// it), or, for the handlers that take a name, a label or a function head, any
// letter (the closing brace: its "}"). readsName: the handler reads a leading
// name and takes the text only when a ':' or a '(' follows it.
struct Entry {
  Handler handler;
  std::string_view word;  // empty: no keyword
  char first;
  bool readsName = false;
};

constexpr char kAnyLetter = '\0';

constexpr Entry KeywordEntry(Handler handler, WordTaker taker) {
  return {handler, WordOf(taker), WordOf(taker).front()};
}

// After the declarations, in the order of trial. Each of these handlers (or
// the keyword match before it) begins with a keyword or name test whose blank
// skipping the declaration handler has already done, and does nothing else
// when the text does not begin with its byte (or a letter), so only those that
// can take the text are tried.
constexpr Entry kHandlers[] = {
    KeywordEntry(CompileFor, WordTaker::kFor),
    KeywordEntry(CompileIf, WordTaker::kIf),
    KeywordEntry(CompileElse, WordTaker::kElse),
    KeywordEntry(CompileWhile, WordTaker::kWhile),
    KeywordEntry(CompileDo, WordTaker::kDo),
    KeywordEntry(CompileSwitch, WordTaker::kSwitch),
    KeywordEntry(CompileCase, WordTaker::kCase),
    KeywordEntry(CompileReturn, WordTaker::kReturn),
    KeywordEntry(CompileBreak, WordTaker::kBreak),
    KeywordEntry(CompileContinue, WordTaker::kContinue),
    KeywordEntry(CompileDefault, WordTaker::kDefault),
    {CompileLabel, {}, kAnyLetter, true},
    KeywordEntry(CompileGoto, WordTaker::kGoto),
    KeywordEntry(CompileAsm, WordTaker::kAsm),
    {CompileFunctionDefinition, {}, kAnyLetter, true},
    {CloseBlock, {}, '}'},
};

constexpr int kHandlerCount = static_cast<int>(std::size(kHandlers));
static_assert(kHandlerCount <= 32, "a handler set is kept in 32 bits");

// For every first byte, the handlers that may take a statement beginning with
// it, in their order of trial (bit i: kHandlers[i]); built once, at compile
// time, so a statement tests only its own byte's set.
struct HandlerSets {
  std::array<std::uint32_t, 256> mayBegin{};
  std::uint32_t readsName = 0;
  constexpr HandlerSets() {
    for (int i = 0; i < kHandlerCount; ++i) {
      const Entry& entry = kHandlers[i];
      if (entry.readsName) readsName |= 1u << i;
      for (int b = 0; b < 256; ++b) {
        char ch = static_cast<char>(b);
        bool may = entry.first == kAnyLetter ? IsLetter(ch) : entry.first == ch;
        if (may) mayBegin[static_cast<std::size_t>(b)] |= 1u << i;
      }
    }
  }
};

constexpr HandlerSets kHandlerSets;

// The words that may begin a function head: the return types and "public".
constexpr struct HeadWords {
  std::string_view words[std::size(kOpeningWords)] = {};
  std::size_t count = 0;
  constexpr HeadWords() {
    for (const OpeningWord& w : kOpeningWords) {
      if (w.headRank != 0 || w.role == WordRole::kPublic) words[count++] = w.word;
    }
  }
} kHeadWords;

bool OpensFunctionHead(std::string_view name) {
  for (std::size_t i = 0; i < kHeadWords.count; ++i) {
    if (SameText(kHeadWords.words[i], name)) return true;
  }
  return false;
}

// Most statements begin with a name and an operator: "i = 0;", "t[j] = 1;".
// Such a name is no label and no function head, and reading it would have no
// effect beyond the name buffer (a short name and a short run of blanks, far
// from the statement limit, and no marker after them), so the handlers that
// read a leading name need not try. The cursor stands on the first byte.
bool NameCannotLead(Compiler& c) {
  constexpr int kShortRun = 64;
  const ScanCursor& k = c.scan.cur;
  int end = k.position;
  while (end < k.length && end - k.position <= kShortRun && IsNameChar(k.text[end])) ++end;
  int next = end;
  while (next < k.length && next - end <= kShortRun && IsBlank(k.text[next])) ++next;
  if (next >= k.length || end - k.position > kShortRun || next - end > kShortRun) return false;
  char after = k.text[next];
  if (after == ':' || after == '(' || after == kLineMarker[0]) return false;
  int contentStart = k.contentStart < 0 ? k.position : k.contentStart;
  if (next - contentStart >= kStatementLimit) return false;
  std::string_view name(k.text + k.position, static_cast<std::size_t>(end - k.position));
  if (OpensFunctionHead(name)) return false;
  c.scan.name.assign(name);  // as the handlers' reading would leave it
  return true;
}

}  // namespace

std::string_view DispatchStatement(Compiler& c, SourceText text) {
  BeginText(c, text.text, text.length);
  ClearEmit(c);
  // The declaration handler's own first step is this blank skip; most
  // statements it would then turn down by their first byte.
  SkipBlanks(c);
  NoteStatementStart(c, c.scan.cur.text + c.scan.cur.position);
  KeywordPrefix prefix = FindKeywordPrefix(c);
  if (MayOpenDeclaration(ScanChar(c)) && CompileDeclaration(c, "", 0) != 0) {
    WarnKeywordPrefix(c, prefix);
    return c.out.emit.view();
  }
  // Skipping again where the declaration handler stopped changes nothing; it
  // leaves the cursor on the statement's first byte (or after an "extern" or
  // "fixed" that no declaration followed).
  SkipBlanks(c);
  if (c.scan.cur.position > prefix.position) WarnKeywordPrefix(c, prefix);
  char first = ScanChar(c);
  bool skipNameReaders = IsLetter(first) && NameCannotLead(c);
  std::uint32_t tried = kHandlerSets.mayBegin[static_cast<unsigned char>(first)];
  if (skipNameReaders) tried &= ~kHandlerSets.readsName;
  for (; tried != 0; tried &= tried - 1) {
    const Entry& entry = kHandlers[std::countr_zero(tried)];
    if (!entry.word.empty() && !MatchKeyword(c, entry.word)) continue;
    if (entry.handler(c) == 0) continue;
    // A handler that does not read a whole name took the text by its keyword.
    if (!entry.readsName) WarnKeywordPrefix(c, prefix);
    return c.out.emit.view();
  }
  CompileExpression(c, ReadStatementText(c));
  return c.out.emit.view();
}

int CompileAsm(Compiler& c) {
  // The line is the text after the keyword up to the ";", which stays for the
  // next call (where it is an empty statement). It replaces the emit buffer.
  ScanCursor& k = c.scan.cur;
  int start = k.position;
  while (k.position < k.length && k.text[k.position] != ';') ++k.position;
  SetEmit(c, std::string_view(k.text + start, static_cast<std::size_t>(k.position - start)));
  if (k.position >= k.length) ReportError(c, kErrMissingSemicolon, "");
  return 1;
}

}  // namespace stackcc
