// The scanner: blank and marker skipping at the cursor (c.scan), which copies
// LINE markers into the emit buffer, and the token readers (names, numbers,
// strings, brace lists, brackets) with the buffers they return. The readers of
// a statement's extent are in statement_extent.cpp.
#include "scanner/scanner.h"

#include <cstring>

#include "base/byte_scan.h"
#include "base/bytes.h"
#include "base/compiler.h"
#include "base/text_helpers.h"
#include "io/diagnostics.h"
#include "io/output.h"
#include "io/run_state.h"
#include "scanner/fold.h"
#include "scanner/line_marker.h"
#include "scanner/reader_parts.h"

namespace stackcc {

namespace {

// Copies the run of characters accepted by the predicate into the buffer.
template <std::size_t N, typename Pred>
std::string_view CopyRun(Compiler& c, FixedText<N>& buffer, Pred accept) {
  ScanCursor& k = c.scan.cur;
  int start = k.position;
  while (!AtEnd(k) && accept(k.text[k.position])) ++k.position;
  buffer.clear();
  bool reported = false;
  Collect(c, buffer, std::string_view(k.text + start, static_cast<std::size_t>(k.position - start)),
          reported);
  return buffer.view();
}

// The literal stands at the cursor (the empty literal always does). The first
// byte is compared before the rest: most tries fail there.
[[gnu::always_inline]] inline bool LiteralAtCursor(const ScanCursor& k, std::string_view literal) {
  std::size_t n = literal.size();
  if (n == 0) return true;
  int pos = k.position < 0 ? 0 : k.position;
  if (pos >= k.length || static_cast<std::size_t>(k.length - pos) < n) return false;
  const char* at = k.text + pos;
  return at[0] == literal[0] && SameBytes(at + 1, literal.data() + 1, n - 1);
}

// Steps over the closing quote of a string; a string that runs into the end of
// the text is reported.
void StepOverClosingQuote(Compiler& c) {
  ScanCursor& k = c.scan.cur;
  if (AtEnd(k)) {
    ReportError(c, kErrString, "");
  } else {
    ++k.position;
  }
}

std::string_view Absent(Compiler& c, bool required, int code) {
  if (required) ReportError(c, code, "");
  return {};
}

}  // namespace

// A marker "LINE:" + position (its end as line_marker.h tells): becomes the
// error position, goes to the emit buffer and is remembered as the last marker
// line. Every statement of Pass 2 comes after one, so the position is found
// sixteen bytes at a time and each copy is made once.
void ConsumeMarker(Compiler& c) {
  ScanCursor& k = c.scan.cur;
  k.position += static_cast<int>(kLineMarker.size());
  int start = k.position;
  k.position = FindEitherByte(k.text, start, k.length, ' ', '"');
  if (k.position < k.length && k.text[k.position] == '"') {
    k.position = MarkerPositionEnd(k.text, start, k.length);
  }
  std::string_view where(k.text + start, static_cast<std::size_t>(k.position - start));
  FixedText<kErrorLineCapacity>& shown = c.diag.errorLineText;
  AssignShownPosition(shown, where);
  if (shown.size() > kMarkerPositionCapacity) {
    ReportError(c, kErrTokenLength, "");
    shown.set_length(kMarkerPositionCapacity);
  }
  c.scan.markerSeen = true;
  FixedText<102400>& last = c.scan.lastMarkerLine;
  last.assign(kLineMarker);
  last.append(shown.view());
  last.append("\r\n");
  Emit(c, last.view());
}

// With the d option, Pass 1 begins every source line after a line break with a
// marker line, so a statement that spans lines holds markers. The readers that
// copy a statement's text consume each one as SkipBlanks does, together with
// the line end after it: the text copied is then the one a run without markers
// copies. A marker stands after a blank (a line end).
bool MarkerInText(const Compiler& c) {
  const ScanCursor& k = c.scan.cur;
  if (c.run.lineMarkerFlag != 1 || AtEnd(k) || k.text[k.position] != kLineMarker[0]) {
    return false;
  }
  if (k.position > 0 && !IsBlank(k.text[k.position - 1])) return false;
  return !LimitReached(k) && ScanRest(c).starts_with(kLineMarker);
}

void PassMarkerInText(Compiler& c) {
  ConsumeMarker(c);
  if (ScanChar(c) == ' ') ++c.scan.cur.position;
}

// The first marker that MarkerInText takes between the cursor and end, or end.
int NextMarkerInText(Compiler& c, int end) {
  ScanCursor& k = c.scan.cur;
  if (c.run.lineMarkerFlag != 1) return end;
  int saved = k.position;
  std::string_view range(k.text, static_cast<std::size_t>(end));
  for (std::size_t at = range.find(kLineMarker, static_cast<std::size_t>(saved));
       at != std::string_view::npos; at = range.find(kLineMarker, at + 1)) {
    k.position = static_cast<int>(at);
    bool taken = MarkerInText(c);
    k.position = saved;
    if (taken) return static_cast<int>(at);
  }
  return end;
}

void BeginText(Compiler& c, char* text, int length) {
  ScanCursor& k = c.scan.cur;
  k.text = text;
  k.length = length < 0 ? 0 : length;
  k.position = 0;
  k.contentStart = -1;
  k.limitReported = false;
  k.skippedTo = -1;
}

char ScanChar(const Compiler& c, int offset) {
  const ScanCursor& k = c.scan.cur;
  int p = k.position + offset;
  return p >= 0 && p < k.length ? k.text[p] : '\0';
}

std::string_view ScanRest(const Compiler& c, int offset) {
  const ScanCursor& k = c.scan.cur;
  int p = k.position + offset;
  if (p < 0) p = 0;
  if (p >= k.length) return {};
  return std::string_view(k.text + p, static_cast<std::size_t>(k.length - p));
}

namespace {

// The statement limit passed: reported once per statement.
[[gnu::noinline]] void ReportStatementLimit(Compiler& c) {
  c.scan.cur.limitReported = true;
  ReportError(c, kErrStatementLength, "");
}

void NoteSkipped(ScanCursor& k) {
  if (k.contentStart < 0 && !AtEnd(k)) k.contentStart = k.position;
  k.skippedText = k.text;
  k.skippedLength = k.length;
  k.skippedTo = k.position;
}

// The skip when a marker may stand after the blanks.
[[gnu::noinline]] void SkipBlanksAndMarkers(Compiler& c) {
  ScanCursor& k = c.scan.cur;
  const char* text = k.text;
  for (;;) {
    int pos = k.position;
    while (pos < k.length && IsBlank(text[pos])) ++pos;
    k.position = pos;
    // Only an 'L' can start a marker: the cheap test spares the comparison.
    if (pos < k.length && text[pos] == kLineMarker[0] && !LimitReached(k) &&
        ScanRest(c).starts_with(kLineMarker)) {
      ConsumeMarker(c);
      continue;
    }
    break;
  }
  NoteSkipped(k);
  if (LimitReached(k) && !k.limitReported) ReportStatementLimit(c);
}

}  // namespace

// Most skips end on a byte that starts no marker; the rare paths (a marker, the
// limit report) are kept out of line so that the common one stays short.
void SkipBlanksAtCursor(Compiler& c) {
  ScanCursor& k = c.scan.cur;
  const char* text = k.text;
  int pos = k.position;
  while (pos < k.length && IsBlank(text[pos])) ++pos;
  if (pos < k.length && text[pos] == kLineMarker[0]) {
    SkipBlanksAndMarkers(c);
    return;
  }
  k.position = pos;
  NoteSkipped(k);
  if (LimitReached(k) && !k.limitReported) ReportStatementLimit(c);
}

int MarkerRunEnd(const Compiler& c) {
  const ScanCursor& k = c.scan.cur;
  int pos = k.position;
  for (;;) {
    pos = SkipBlankBytes(k.text, pos, k.length, [](int) {});
    std::string_view rest(k.text + pos, static_cast<std::size_t>(k.length - pos));
    if (!rest.starts_with(kLineMarker)) return pos;
    pos = MarkerPositionEnd(k.text, pos + static_cast<int>(kLineMarker.size()), k.length);
  }
}

void PassMarkersBefore(Compiler& c, int limit) {
  ScanCursor& k = c.scan.cur;
  for (;;) {
    k.position = SkipBlankBytes(k.text, k.position, k.length, [](int) {});
    if (k.position >= limit || !ScanRest(c).starts_with(kLineMarker)) return;
    ConsumeMarker(c);
  }
}

int MatchKeyword(Compiler& c, std::string_view literal) {
  SkipBlanks(c);
  if (!LiteralAtCursor(c.scan.cur, literal)) return 0;
  char after = ScanChar(c, static_cast<int>(literal.size()));
  if (IsLetter(after) || IsDigit(after)) return 0;
  c.scan.cur.position += static_cast<int>(literal.size());
  return 1;
}

int MatchText(Compiler& c, std::string_view literal) {
  SkipBlanks(c);
  if (!LiteralAtCursor(c.scan.cur, literal)) return 0;
  c.scan.cur.position += static_cast<int>(literal.size());
  return 1;
}

int PeekText(Compiler& c, std::string_view literal) {
  SkipBlanks(c);
  return LiteralAtCursor(c.scan.cur, literal) ? 1 : 0;
}

std::string_view ReadWord(Compiler& c, bool required) {
  SkipBlanks(c);
  if (!IsNameChar(ScanChar(c))) return Absent(c, required, kErrName);
  return CopyRun(c, c.scan.word, IsNameChar);
}

std::string_view ReadName(Compiler& c, bool required) {
  SkipBlanks(c);
  if (!IsLetter(ScanChar(c))) return Absent(c, required, kErrVariable);
  return CopyRun(c, c.scan.name, IsNameChar);
}

std::string_view ReadNumber(Compiler& c, bool required) {
  SkipBlanks(c);
  if (!IsDigit(ScanChar(c))) return Absent(c, required, kErrDigit);
  return CopyRun(c, c.scan.number, IsDigit);
}

std::string_view ReadQuoted(Compiler& c, bool required) {
  SkipBlanks(c);
  if (ScanChar(c) != '"') return Absent(c, required, kErrString);
  ScanCursor& k = c.scan.cur;
  ++k.position;
  std::string_view contents = CopyRun(c, c.scan.quoted, [](char ch) { return ch != '"'; });
  StepOverClosingQuote(c);
  return contents;
}

std::string_view ReadQuotedCodes(Compiler& c, bool required) {
  SkipBlanks(c);
  if (ScanChar(c) != '"') return Absent(c, required, kErrString);
  ScanCursor& k = c.scan.cur;
  FixedText<10240>& out = c.scan.quotedCodes;
  bool reported = false;
  out.assign("\"");
  ++k.position;
  // A code goes in whole, and only while the closing quote still fits behind
  // it: a cut string is a shorter string, never one with a broken last code.
  constexpr std::size_t kCodeRoom = FixedText<10240>::kCapacity - 1;
  while (!AtEnd(k) && k.text[k.position] != '"') {
    if (out.size() + 3 <= kCodeRoom) {
      out.append(CodeOf(k.text[k.position]).view());
    } else if (!reported) {
      reported = true;
      ReportError(c, kErrTokenLength, "");
    }
    ++k.position;
  }
  out.append('"');
  StepOverClosingQuote(c);
  return out.view();
}

std::string_view ReadBraceList(Compiler& c, bool required) {
  SkipBlanks(c);
  if (ScanChar(c) != '{') return Absent(c, required, kErrList);
  ScanCursor& k = c.scan.cur;
  FixedText<102400>& out = c.scan.braceList;
  bool reported = false;
  out.assign("{");
  ++k.position;
  int depth = 1;
  while (depth > 0) {
    SkipBlanks(c);
    if (AtEnd(k)) {
      ReportError(c, kErrList, "");  // the list runs into the end of the text
      break;
    }
    char ch = k.text[k.position];
    if (ch == '{') ++depth;
    if (ch == '}') --depth;
    if (ch == '"') {
      Collect(c, out, ReadQuotedCodes(c, true), reported);
      continue;
    }
    Collect(c, out, ch, reported);
    ++k.position;
  }
  return out.view();
}

std::string_view ReadDatum(Compiler& c, bool required) {
  SkipBlanks(c);
  char ch = ScanChar(c);
  if (ch == '{') return ReadBraceList(c, required);
  if (ch == '"') return ReadQuotedCodes(c, required);
  if (IsDigit(ch)) return ReadNumber(c, required);
  return Absent(c, required, kErrData);
}

std::string_view ReadBrackets(Compiler& c, bool required) {
  SkipBlanks(c);
  if (ScanChar(c) != '[') return Absent(c, required, kErrArray);
  ScanCursor& k = c.scan.cur;
  FixedText<32>& out = c.scan.brackets;
  bool reported = false;
  out.clear();
  while (ScanChar(c) == '[') {
    int start = k.position;
    while (!AtEnd(k) && k.text[k.position] != ']') ++k.position;
    if (!AtEnd(k)) ++k.position;  // the closing bracket
    Collect(c, out, std::string_view(k.text + start, static_cast<std::size_t>(k.position - start)),
            reported);
    while (ScanChar(c) == ' ') ++k.position;
  }
  FoldConstants(out);
  return out.view();
}

}  // namespace stackcc
