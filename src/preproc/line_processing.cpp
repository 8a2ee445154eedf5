// Pass 1, one reader text at a time: count the line breaks in front of the line
// (writing a LINE marker with the d option), read the line without comments,
// let the directives take it, drop it in an inactive region, and otherwise
// substitute defines and character constants.
#include "base/byte_scan.h"
#include "base/compiler.h"
#include "base/text_helpers.h"
#include "io/diagnostics.h"
#include "io/output.h"
#include "io/run_state.h"
#include "io/source_reader.h"
#include "preproc/preproc.h"
#include "scanner/line_marker.h"
#include "scanner/scanner.h"

namespace stackcc {

namespace {

bool AtEnd(const ScanCursor& k) {
  return k.position >= k.length;
}

IncludeLevel& CurrentLevel(Compiler& c) {
  int top = c.reader.top < 0 ? 0 : c.reader.top;
  return c.reader.levels[top];
}

// The text handed out ends where the level's file ends (and not merely where
// its window ends).
bool TextEndsFile(Compiler& c) {
  return CurrentLevel(c).endOfFile != 0;
}

// A comment ran into the end of the text. When the file goes on in the next
// window, the next text of this level continues the comment; otherwise the
// comment ends with the file.
void CommentReachedEnd(Compiler& c, PendingComment kind) {
  ScanCursor& k = c.scan.cur;
  if (TextEndsFile(c)) {
    k.position = k.length;
    return;
  }
  c.pre.pending = kind;
  c.pre.pendingLevel = c.reader.top;
}

// A text that continues the comment of the previous text of the same level:
// the comment is skipped and the text yields an empty line. Returns false when
// nothing was pending.
bool ContinuePendingComment(Compiler& c) {
  PreprocState& p = c.pre;
  PendingComment kind = p.pending;
  p.pending = PendingComment::kNone;
  if (kind == PendingComment::kNone || p.pendingLevel != c.reader.top) return false;
  // A line comment cut just before its line feed has nothing left: the text is
  // an ordinary one whose line break is counted as any other. (Taking it as a
  // continuation would consume nothing, and the reader's step past a text that
  // stands still would swallow the line feed uncounted.)
  if (kind == PendingComment::kLine && ScanChar(c) == '\n') return false;
  if (kind == PendingComment::kBlock) {
    SkipBlockComment(c);
  } else {
    SkipLineComment(c);
  }
  return true;
}

// Every directive keyword begins with '#'. A line whose first byte after its
// blanks is neither '#' nor the 'L' that may open a marker is taken by no
// directive, and trying them all would only repeat the same blank skip (which
// has no other effect on such a line).
bool MayBeDirective(const Compiler& c) {
  std::string_view line = c.pre.lineCopy.view();
  std::size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  return i < line.size() && (line[i] == '#' || line[i] == 'L');
}

// The line at the cursor is an ordinary one of an active region, for the walk:
// neither a directive (whose '#' comes first) nor a marker (its 'L') can stand
// at its start. The walk also relies on the terminator behind the text.
bool WalkTakesLine(const Compiler& c) {
  const ScanCursor& k = c.scan.cur;
  if (k.position >= k.length || k.text[k.length] != '\0') return false;
  char first = k.text[k.position];
  return first != '#' && first != kLineMarker[0] && RegionActive(c) != 0;
}

// The rest of the line's work on the line copy; the result to write.
std::string_view ProcessLineCopy(Compiler& c) {
  bool directive = MayBeDirective(c);
  if (directive && (EndifDirective(c) || ElseDirective(c) || IfDirective(c) || IfNotDirective(c) ||
                    IfGreaterDirective(c) || IfLessDirective(c) || IfGreaterOrEqualDirective(c) ||
                    IfLessOrEqualDirective(c))) {
    return {};
  }
  if (RegionActive(c) == 0) return {};
  if (directive && (IncludeDirective(c) || DefineDirective(c))) return {};
  SubstituteDefines(c);
  if (c.diag.positions.enabled) WarnAboutLine(c, c.pre.lineCopy.view());
  ConvertCharConstants(c);
  // Without a marker in front, the result is the line itself (the emit buffer
  // is as large as a line, so a copy into it would be the same text).
  if (c.out.emit.empty()) return c.pre.lineCopy.view();
  Emit(c, c.pre.lineCopy.view());
  return c.out.emit.view();
}

}  // namespace

// From the cursor up to the line feed that ends a "//" comment (not consumed).
void SkipLineComment(Compiler& c) {
  ScanCursor& k = c.scan.cur;
  while (!AtEnd(k) && k.text[k.position] != '\n') ++k.position;
  if (AtEnd(k)) CommentReachedEnd(c, PendingComment::kLine);
}

// From the cursor (the '*' of the opener, or the start of a continued text) to
// just after the closing "*/". Line feeds inside are counted; their markers are
// not written, as the emit buffer is emptied when the comment ends. A '*' that
// is the last byte of the text stays unconsumed, so a "*/" split by the end of
// the window is still found.
void SkipBlockComment(Compiler& c) {
  ScanCursor& k = c.scan.cur;
  for (;;) {
    SkipLineBreaks(c, false);
    if (AtEnd(k)) break;
    if (k.text[k.position] == '*') {
      if (k.position + 1 >= k.length) break;
      if (k.text[k.position + 1] == '/') {
        k.position += 2;
        ClearEmit(c);
        return;
      }
    }
    ++k.position;
  }
  ClearEmit(c);
  CommentReachedEnd(c, PendingComment::kBlock);
}

void SkipLineBreaks(Compiler& c, bool emitMarker) {
  ScanCursor& k = c.scan.cur;
  IncludeLevel& level = CurrentLevel(c);
  bool passed = false;
  char* text = k.text;
  if (!AtEnd(k)) {
    k.position = SkipBlankBytes(text, k.position, k.length, [&](int at) {
      text[at] = '\r';  // counted once, never again
      ++level.lineCounter;
      passed = true;
    });
  }
  if (!passed || c.run.lineMarkerFlag != 1) return;
  FixedText<kErrorLineCapacity>& where = c.diag.errorLineText;
  where.clear();
  where.append_number(level.lineCounter);
  where.append(':');
  where.append(level.fileName.view());
  if (!emitMarker) return;
  Emit(c, kLineMarker);
  if (MarkerNameQuoted(level.fileName.view())) {
    // The position up to its ':' and the name in the form that Pass 2 can
    // tell from the code behind it.
    Emit(c, where.view().substr(0, where.size() - level.fileName.size()));
    EmitMarkerName(c, level.fileName.view());
  } else {
    Emit(c, where.view());
  }
  Emit(c, "\r\n");
}

std::string_view ReadSourceLine(Compiler& c) {
  SkipBlanks(c);
  ScanCursor& k = c.scan.cur;
  FixedText<kLineCapacity>& line = c.pre.lineCopy;
  line.clear();
  // The line is taken as a C string: a NUL byte ends what is kept, while the
  // rest of the line is still read (and its comments still recognised).
  bool cut = false;
  while (!AtEnd(k)) {
    // The run of bytes up to a line end, a possible comment opener or the NUL
    // that ends what is kept is copied at once.
    int start = k.position;
    k.position = FindOneOfThree(k.text, k.position, k.length, '\n', '/', '\0');
    if (!cut)
      line.append(std::string_view(k.text + start, static_cast<std::size_t>(k.position - start)));
    if (AtEnd(k)) break;
    char ch = k.text[k.position];
    if (ch == '\n') break;
    char next = k.position + 1 < k.length ? k.text[k.position + 1] : '\0';
    if (ch == '/' && next == '/') {
      SkipLineComment(c);
      break;
    }
    if (ch == '/' && next == '*') {
      ++k.position;  // the search for "*/" starts at the opener's '*'
      SkipBlockComment(c);
      break;
    }
    if (ch == '\0') cut = true;
    if (!cut) line.append(ch);
    ++k.position;
  }
  AppendLineEnd(line);
  return line.view();
}

int RegionActive(const Compiler& c) {
  return c.pre.condStack[c.pre.condDepth];
}

std::string_view PreprocessLine(Compiler& c, SourceText text) {
  BeginText(c, text.text, text.length);
  ClearEmit(c);
  if (ContinuePendingComment(c)) return {};
  SkipLineBreaks(c);
  if (WalkTakesLine(c)) return WalkSourceLine(c);
  ReadSourceLine(c);
  int consumed = c.scan.cur.position;
  PreprocState& p = c.pre;
  // From here on the cursor reads the line copy; the directives start at its
  // beginning, and the window position is given back at the end.
  BeginText(c, p.lineCopy.raw(), static_cast<int>(p.lineCopy.size()));
  std::string_view result = ProcessLineCopy(c);
  c.scan.cur.position = consumed;
  return result;
}

}  // namespace stackcc
