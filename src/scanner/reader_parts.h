// The pieces the token readers (scanner.cpp) and the statement-extent readers
// (statement_extent.cpp) share: the cursor's limits, the buffer appends that
// report an overflow once per token, and the passing of line markers met
// inside a statement's text.
#pragma once

#include <string_view>

#include "base/compiler.h"
#include "base/fixed_text.h"
#include "io/diagnostics.h"
#include "scanner/scanner.h"

namespace stackcc {

inline bool LimitReached(const ScanCursor& k) {
  return k.contentStart >= 0 && k.position - k.contentStart >= kStatementLimit;
}

inline bool AtEnd(const ScanCursor& k) {
  return k.position >= k.length;
}

// Appends to a reader's buffer; an overflow is reported once per token.
template <std::size_t N>
void Collect(Compiler& c, FixedText<N>& buffer, std::string_view part, bool& reported) {
  if (!buffer.append(part) && !reported) {
    reported = true;
    ReportError(c, kErrTokenLength, "");
  }
}

template <std::size_t N>
void Collect(Compiler& c, FixedText<N>& buffer, char ch, bool& reported) {
  Collect(c, buffer, std::string_view(&ch, 1), reported);
}

// Appends the text from start to the cursor to the buffer.
template <std::size_t N>
void CollectRun(Compiler& c, FixedText<N>& out, int start, bool& reported) {
  const ScanCursor& k = c.scan.cur;
  Collect(c, out, std::string_view(k.text + start, static_cast<std::size_t>(k.position - start)),
          reported);
}

// A marker "LINE:" + position at the cursor: becomes the error position and
// goes to the emit buffer.
void ConsumeMarker(Compiler& c);
// A marker that a statement's text holds stands at the cursor (with -d).
bool MarkerInText(const Compiler& c);
// Consumes that marker and the line end after it.
void PassMarkerInText(Compiler& c);
// The first marker that MarkerInText takes between the cursor and end, or end.
int NextMarkerInText(Compiler& c, int end);

}  // namespace stackcc
