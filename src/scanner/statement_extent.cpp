// The statement-extent readers: the text of a parenthesised group, of a
// statement up to its ";" and of a value up to ";" or "}", each with the line
// markers it holds passed and left out of the copy.
#include <limits>
#include <optional>
#include <string_view>

#include "base/byte_scan.h"
#include "base/bytes.h"
#include "base/compiler.h"
#include "io/diagnostics.h"
#include "io/run_state.h"
#include "scanner/line_marker.h"
#include "scanner/reader_parts.h"
#include "scanner/scanner.h"

namespace stackcc {

namespace {

// A byte the walk of a group must look at: a quote, a parenthesis, a byte
// that stops says ends the text, or the first byte of a line marker.
template <typename Stops>
bool MayEndRun(char ch, Stops stops) {
  return ch == '"' || ch == '(' || ch == ')' || ch == kLineMarker[0] || stops(ch);
}

// Copies the text from the cursor into out up to the first byte, outside
// strings and nested parentheses, that stops says ends it (the cursor stays
// on it), or until limit bytes are walked. Line markers met on the way are
// passed as SkipBlanks passes them and left out of the copy, inside strings
// too (a string broken over lines holds the marker of its next line, which is
// no part of its text). Gives the number of bytes walked, markers aside.
template <typename Stops>
int CopyGroupedText(Compiler& c, FixedText<102400>& out, int limit, Stops stops) {
  ScanCursor& k = c.scan.cur;
  out.clear();
  bool reported = false;
  int start = k.position;
  int depth = 0;
  int count = 0;
  bool inString = false;  // a parenthesis inside a string is no group's
  while (count < limit && !AtEnd(k)) {
    // A run of bytes that neither quote, group, stop nor may begin a marker
    // is walked at once.
    while (count < limit && !AtEnd(k) && !MayEndRun(k.text[k.position], stops)) {
      ++k.position;
      ++count;
    }
    if (count >= limit || AtEnd(k)) break;
    if (MarkerInText(c)) {
      CollectRun(c, out, start, reported);
      PassMarkerInText(c);
      start = k.position;
      continue;
    }
    char ch = k.text[k.position];
    if (ch == '"') {
      inString = !inString;
    } else if (!inString && depth == 0 && stops(ch)) {
      break;
    } else if (!inString && ch == '(') {
      ++depth;
    } else if (!inString && ch == ')' && depth > 0) {
      --depth;
    }
    ++k.position;
    ++count;
  }
  CollectRun(c, out, start, reported);
  return count;
}

}  // namespace

std::optional<std::string_view> ReadParenthesised(Compiler& c, bool required) {
  SkipBlanks(c);
  if (ScanChar(c) != '(') {
    if (required) ReportError(c, kErrParentheses, "");
    return std::nullopt;
  }
  ScanCursor& k = c.scan.cur;
  ++k.position;
  FixedText<102400>& out = c.scan.parenthesised;
  int count = CopyGroupedText(c, out, kParenthesisedLimit, [](char ch) { return ch == ')'; });
  if (count >= kParenthesisedLimit || AtEnd(k)) {
    ReportError(c, kErrParentheses, "");  // no closing parenthesis within reach
    return std::nullopt;
  }
  ++k.position;
  return out.view();
}

std::string_view ReadStatementText(Compiler& c) {
  SkipBlanks(c);
  ScanCursor& k = c.scan.cur;
  FixedText<102400>& out = c.scan.statement;
  out.clear();
  bool reported = false;
  int start = k.position;
  for (;;) {
    int stop = AtEnd(k) ? k.position : FindEitherByte(k.text, k.position, k.length, ';', '}');
    int marker = NextMarkerInText(c, stop);
    k.position = marker;
    CollectRun(c, out, start, reported);
    if (marker == stop) break;
    PassMarkerInText(c);
    start = k.position;
  }
  if (AtEnd(k) || k.text[k.position] == '}') ReportError(c, kErrMissingSemicolon, "");
  if (!AtEnd(k)) ++k.position;
  return out.view();
}

std::string_view ReadValueText(Compiler& c) {
  SkipBlanks(c);
  FixedText<102400>& out = c.scan.statement;
  CopyGroupedText(c, out, std::numeric_limits<int>::max(),
                  [](char ch) { return ch == ';' || ch == '}'; });
  return out.view();
}

bool GroupEndsStatement(const Compiler& c) {
  const ScanCursor& k = c.scan.cur;
  int p = k.position;
  if (p >= k.length || k.text[p] != '(') return false;
  int depth = 0;
  bool inString = false;
  for (++p; p < k.length && p - k.position <= kParenthesisedLimit; ++p) {
    char ch = k.text[p];
    if (ch == '"') inString = !inString;
    if (inString) continue;
    if (ch == ')' && depth == 0) break;
    if (ch == ')') --depth;
    if (ch == '(') ++depth;
  }
  if (p >= k.length || k.text[p] != ')') return false;
  for (++p; p < k.length;) {
    std::string_view rest(k.text + p, static_cast<std::size_t>(k.length - p));
    if (IsBlank(rest[0])) {
      ++p;
    } else if (c.run.lineMarkerFlag == 1 && rest.starts_with(kLineMarker)) {
      p = MarkerPositionEnd(k.text, p + static_cast<int>(kLineMarker.size()), k.length);
    } else {
      return rest[0] == ';';
    }
  }
  return false;
}

}  // namespace stackcc
