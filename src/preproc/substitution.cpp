// Define substitution and character constants on the line copy.
//
// Substitution replaces whole words only: an occurrence of a name with a name
// character (letter, digit, '_') right before or after it belongs to a longer
// word and stays. Names are taken in the order of their first definition, each
// over the whole line, so a value inserted for one name is searched for the
// names defined after it, but never for its own name or earlier ones. A value
// that holds its own name as a word is so inserted once.
//
// Because a replaced word always has a non-name character on both sides, the
// words of a line never merge or split under replacement. The line is therefore
// walked once, word by word: a word whose name has entry i becomes its value, in
// which only the names of entries after i are replaced in turn. That gives the
// result of the entry-by-entry rescans with one look-up per word.
#include "base/byte_scan.h"
#include "base/compiler.h"
#include "base/text_helpers.h"
#include "io/diagnostics.h"
#include "preproc/preproc.h"

namespace stackcc {

namespace {

std::size_t WordEnd(std::string_view text, std::size_t from) {
  while (from < text.size() && IsNameChar(text[from])) ++from;
  return from;
}

// The entry that replaces a word, or -1: entries below minEntry have had
// their turn already.
int ReplacingEntry(const PreprocState& p, std::string_view word, int minEntry) {
  if (!IsLetter(word[0]) || !MayBeDefineName(p, word)) return -1;  // names start with a letter
  int entry = FindDefine(p, word);
  return entry >= minEntry ? entry : -1;
}

// Where the first word to replace starts (npos when there is none). Only a
// byte that some define name begins with can start one, so the search skips
// from such byte to such byte.
std::size_t FirstReplaced(const PreprocState& p, std::string_view line, int readable) {
  const char* text = line.data();
  int end = static_cast<int>(line.size());
  unsigned char low = p.defineFirstLow;
  unsigned char high = p.defineFirstHigh;
  for (int i = FindByteInRange(text, 0, end, low, high, readable); i < end;) {
    // Names begin with a letter, and a word with the byte before it.
    if (!IsLetter(text[i]) || (i > 0 && IsNameChar(text[i - 1]))) {
      i = FindByteInRange(text, i + 1, end, low, high, readable);
      continue;
    }
    std::size_t wordEnd = WordEnd(line, static_cast<std::size_t>(i));
    std::size_t at = static_cast<std::size_t>(i);
    if (ReplacingEntry(p, line.substr(at, wordEnd - at), 0) >= 0) return at;
    i = FindByteInRange(text, static_cast<int>(wordEnd), end, low, high, readable);
  }
  return std::string_view::npos;
}

}  // namespace

bool PutWord(const PreprocState& p, std::string_view word, int minEntry, LineOut& out) {
  int entry = ReplacingEntry(p, word, minEntry);
  if (entry < 0) return out.Put(word);
  if (!out.replaced) {
    out.replaced = true;
    out.limit = kLineWorkLimit;
    if (out.line.size() > out.limit) {
      out.line.truncate(out.limit);
      out.full = true;
      return false;
    }
  }
  return PutExpanded(p, p.defines[entry].value.view(), entry + 1, out);
}

bool PutExpanded(const PreprocState& p, std::string_view text, int minEntry, LineOut& out) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t run = i;
    while (run < text.size() && !IsNameChar(text[run])) ++run;
    if (run > i && !out.Put(text.substr(i, run - i))) return false;
    if (run == text.size()) break;
    std::size_t end = WordEnd(text, run);
    if (!PutWord(p, text.substr(run, end - run), minEntry, out)) return false;
    i = end;
  }
  return true;
}

void CutLine(Compiler& c, LineOut& out) {
  ReportError(c, kErrLineLength, "");
  out.line.truncate(kLineWorkLimit - 2);
  AppendLineEnd(out.line);
}

void SubstituteDefines(Compiler& c) {
  PreprocState& p = c.pre;
  if (p.defineCount == 0) return;
  std::string_view line = p.lineCopy.view();
  // The whole line buffer may be loaded, not only the line.
  constexpr int kReadable = static_cast<int>(decltype(p.lineCopy)::kCapacity) + 1;
  std::size_t first = FirstReplaced(p, line, kReadable);
  if (first == std::string_view::npos) return;
  // The rest of the line, its CR LF included, is expanded behind the part
  // before the first replaced word.
  p.lineWork.assign(line.substr(first));
  p.lineCopy.truncate(first);
  LineOut out{p.lineCopy};
  if (PutExpanded(p, p.lineWork.view(), 0, out) && !out.full) return;
  CutLine(c, out);
}

void ConvertCharConstants(Compiler& c) {
  FixedText<kLineCapacity>& line = c.pre.lineCopy;
  std::size_t from = 0;
  for (;;) {
    std::size_t open = line.find('\'', from);
    if (open == FixedText<kLineCapacity>::npos || line[open + 2] != '\'') return;
    FixedText<8> code;
    code.append_number(static_cast<unsigned char>(line[open + 1]));
    line.set(open, ' ');
    line.set(open + 2, ' ');
    for (std::size_t d = 0; d < code.size() && d < 3; ++d) line.set(open + d, code[d]);
    from = open + 3;
  }
}

}  // namespace stackcc
