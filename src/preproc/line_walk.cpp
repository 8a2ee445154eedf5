// The walk over an ordinary source line: one pass over its bytes that copies
// them into the line copy, removes its comments and replaces its defines as it
// goes. Runs of bytes that need no look are copied whole; the walk stops only
// at line ends, NULs, slashes, quotes and the letters that some define name
// begins with, and looks a word up only when its first byte and length fit a
// name defined so far.
//
// The result is the line ReadSourceLine, SubstituteDefines and
// ConvertCharConstants give together: a name is replaced where it stands as a
// whole word, a NUL ends what is kept while the rest is still read for its
// comments, and a comment ends the line.
#include "base/bytes.h"
#include "base/compiler.h"
#include "io/diagnostics.h"
#include "io/output.h"
#include "preproc/byte_classes.h"
#include "preproc/preproc.h"
#include "scanner/scanner.h"

namespace stackcc {

namespace {

struct Walk {
  const char* text;
  int length;
  int start;  // where the line begins: no byte before it belongs to its first word
  LineOut out;
  bool cut = false;    // a NUL was met: nothing more is kept
  bool quote = false;  // a '\'' was kept: character constants may stand in the line
};

// The word at i (whose first byte is a letter), put as it stands or replaced;
// gives the position after it. The text's NUL terminator ends every word.
int PutWordAt(const PreprocState& p, Walk& w, int i) {
  int end = i + 1;
  while (IsNameChar(w.text[end])) ++end;
  std::string_view word(w.text + i, static_cast<std::size_t>(end - i));
  if (w.cut) return end;
  if (i > w.start && IsNameChar(w.text[i - 1])) {
    w.out.Put(word);  // the tail of a longer word
  } else {
    PutWord(p, word, 0, w.out);
  }
  return end;
}

// A '/' at i: a comment ends the line (true, the cursor after it), any other
// '/' is kept.
bool SlashEndsLine(Compiler& c, Walk& w, int i) {
  char next = i + 1 < w.length ? w.text[i + 1] : '\0';
  ScanCursor& k = c.scan.cur;
  if (next == '/') {
    k.position = i;
    SkipLineComment(c);
    return true;
  }
  if (next == '*') {
    k.position = i + 1;  // the search for "*/" starts at the opener's '*'
    SkipBlockComment(c);
    return true;
  }
  if (!w.cut) w.out.Put("/");
  return false;
}

// The first stop from i on (the text's length when there is none). The text's
// terminator, a NUL, is a stop, so the search ends there at the latest.
int NextStop(const PreprocState& p, const Walk& w, int i) {
  while (p.walkStops[static_cast<unsigned char>(w.text[i])] == 0) ++i;
  return i;
}

// Walks the line from the cursor; the cursor ends where the line ends.
void WalkBytes(Compiler& c, Walk& w) {
  const PreprocState& p = c.pre;
  int i = w.start;
  for (;;) {
    int run = i;
    i = NextStop(p, w, i);
    if (i > run && !w.cut)
      w.out.Put(std::string_view(w.text + run, static_cast<std::size_t>(i - run)));
    if (i >= w.length) break;
    char ch = w.text[i];
    switch (kByteClasses[static_cast<unsigned char>(ch)]) {
      case ByteClass::kLineEnd:
        c.scan.cur.position = i;  // the line feed stays for the next text
        return;
      case ByteClass::kNameStart:
        i = PutWordAt(p, w, i);
        continue;
      case ByteClass::kNul:
        w.cut = true;
        break;
      case ByteClass::kSlash:
        if (SlashEndsLine(c, w, i)) return;
        break;
      default:  // the quote
        if (!w.cut) {
          w.quote = true;
          w.out.Put(std::string_view(&w.text[i], 1));
        }
        break;
    }
    ++i;
  }
  c.scan.cur.position = w.length;
}

}  // namespace

std::string_view WalkSourceLine(Compiler& c) {
  PreprocState& p = c.pre;
  ScanCursor& k = c.scan.cur;
  p.lineCopy.clear();
  Walk w{k.text, k.length, k.position, LineOut{p.lineCopy}};
  WalkBytes(c, w);
  FinishLine(c, w.out);
  if (c.diag.positions.enabled) WarnAboutLine(c, p.lineCopy.view());
  if (w.quote || w.out.replaced) ConvertCharConstants(c);
  // Without a marker in front, the result is the line itself.
  if (c.out.emit.empty()) return p.lineCopy.view();
  Emit(c, p.lineCopy.view());
  return c.out.emit.view();
}

}  // namespace stackcc
