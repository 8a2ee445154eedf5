// The scanner: one cursor over the current text and the token readers that
// advance it. Every reader first skips blanks and LINE markers (copying each
// marker into the emit buffer). Readers return their token
// in a buffer of their own that the next call of the same reader overwrites.
#pragma once

#include <optional>
#include <string_view>

#include "base/compiler.h"
#include "base/fixed_text.h"

namespace stackcc {

// Opens a line marker ("LINE:n:file") in the text between statements.
constexpr std::string_view kLineMarker = "LINE:";
constexpr int kStatementLimit = 5000;  // positions a handler text may consume
constexpr int kParenthesisedLimit = 20480;
constexpr std::size_t kNumberCapacity = 64;  // ReadNumber's buffer

// The cursor: a text of known length and the position in it. Reading at or past
// the length yields the NUL terminator, so no reader runs past the text.
struct ScanCursor {
  char* text = nullptr;
  int length = 0;
  int position = 0;
  // Where the handler text's first character that is neither blank nor part of a
  // marker stands (-1 until SkipBlanks has met one); the statement-length limit
  // counts from there.
  int contentStart = -1;
  bool limitReported = false;
  // Where the last SkipBlanks stopped, over which text: a new call from there
  // finds nothing to skip (handlers try their keywords one after another at the
  // same place).
  const char* skippedText = nullptr;
  int skippedLength = 0;
  int skippedTo = -1;
};

struct ScanState {
  ScanCursor cur;
  FixedText<102400> lastMarkerLine;  // "LINE:" + position + CR LF
  bool markerSeen = false;           // a marker has set the two above
  FixedText<120> word;
  FixedText<120> name;
  FixedText<kNumberCapacity> number;
  FixedText<10240> quoted;
  FixedText<10240> quotedCodes;
  FixedText<102400> braceList;
  FixedText<32> brackets;
  FixedText<102400> parenthesised;
  FixedText<102400> statement;
};

// The longest position a marker keeps: a longer one is reported and cut.
constexpr std::size_t kMarkerPositionCapacity = 1023;

// Points the cursor at a new handler text (position 0, limit counting reset).
void BeginText(Compiler& c, char* text, int length);
// The byte at position + offset, or NUL at and past the end of the text.
char ScanChar(const Compiler& c, int offset = 0);
// The unread rest of the text from position + offset.
std::string_view ScanRest(const Compiler& c, int offset = 0);

// The skipping itself, once the check that there is work to do has passed.
void SkipBlanksAtCursor(Compiler& c);
// Skips blanks and markers. Inline: handlers try their keywords one after
// another at the same place, and the check that nothing is left to skip (the
// last skip stopped here) is most of the calls.
inline void SkipBlanks(Compiler& c) {
  const ScanCursor& k = c.scan.cur;
  if (k.position == k.skippedTo && k.text == k.skippedText && k.length == k.skippedLength) return;
  SkipBlanksAtCursor(c);
}
// Where the run of blanks and markers at the cursor ends (the cursor stays).
int MarkerRunEnd(const Compiler& c);
// Passes blanks and the markers that begin before limit, as SkipBlanks does
// (each marker goes to the emit buffer); stops at the first other byte.
void PassMarkersBefore(Compiler& c, int limit);
int MatchKeyword(Compiler& c, std::string_view literal);
int MatchText(Compiler& c, std::string_view literal);
int PeekText(Compiler& c, std::string_view literal);

std::string_view ReadWord(Compiler& c, bool required);
std::string_view ReadName(Compiler& c, bool required);
std::string_view ReadNumber(Compiler& c, bool required);
std::string_view ReadQuoted(Compiler& c, bool required);
std::string_view ReadQuotedCodes(Compiler& c, bool required);
std::string_view ReadBraceList(Compiler& c, bool required);
std::string_view ReadDatum(Compiler& c, bool required);
std::string_view ReadBrackets(Compiler& c, bool required);
// No value when the group is absent; the empty text for "()".
std::optional<std::string_view> ReadParenthesised(Compiler& c, bool required);
std::string_view ReadStatementText(Compiler& c);
// The text from the cursor up to the ";" or "}" that ends the statement, outside
// parentheses and quotes; the stop is left for the next reader.
std::string_view ReadValueText(Compiler& c);
// True when the cursor stands on one parenthesised group followed (after blanks
// and markers) by ";". Nothing is consumed.
bool GroupEndsStatement(const Compiler& c);

}  // namespace stackcc
