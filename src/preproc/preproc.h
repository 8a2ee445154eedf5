// Pass 1: line processing (comments, markers, define substitution, character
// constants) and the directives (#include, #define and the #IF family).
#pragma once

#include <cstdint>
#include <string_view>

#include "base/fixed_text.h"
#include "base/lazy_table.h"
#include "io/source_reader.h"
#include "preproc/byte_classes.h"

namespace stackcc {

struct Compiler;

constexpr int kDefineEntries = 500;
constexpr int kDefineFieldCapacity = 512;  // names and values: at most 511 characters
constexpr int kCondLevels = 20;
constexpr int kLineCapacity = 102400;
constexpr int kLineWorkLimit = 1023;  // a line after substitution, its CR LF included
// Open addressing over the define names; twice the entries keeps probes short.
constexpr int kDefineIndexSlots = 1024;

struct DefineEntry {
  FixedText<kDefineFieldCapacity> name;
  FixedText<kDefineFieldCapacity> value;
};

// What the previous text left unfinished when it ran into the end of a window
// whose file goes on: the next text of the same level continues it.
enum class PendingComment { kNone, kBlock, kLine };

struct PreprocState {
  // Entries in the order of first definition; the entry at defineCount (the
  // first free one) always has an empty name.
  LazyTable<DefineEntry, kDefineEntries> defines;
  int defineCount = 0;
  // Slot -> entry index + 1 (0 = empty slot); finds a name without a linear scan.
  int defineIndex[kDefineIndexSlots] = {};
  // A quick filter before the index: per first byte, the lengths (63 for
  // longer) of the names defined so far that begin with it. A word whose
  // length is not among those of its first byte is no name.
  std::uint64_t defineLengthsByFirst[256] = {};
  // Where the walk over a source line stops: the fixed stops and the first
  // bytes of the define names.
  WalkStops walkStops = kPlainWalkStops;
  // The lowest and highest byte a define name begins with (low above high while
  // there is none).
  unsigned char defineFirstLow = 0xFF;
  unsigned char defineFirstHigh = 0;
  int condStack[kCondLevels] = {1};
  int condDepth = 0;
  // Conditionals opened beyond the last level: reported, and counted so that
  // their #ENDIFs still balance.
  int condOverflow = 0;
  // The line read by ReadSourceLine, with CR LF, which the directives and
  // substitution then work on.
  FixedText<kLineCapacity> lineCopy;
  // The part of a line that substitution reads while the line copy is rebuilt.
  FixedText<kLineCapacity> lineWork;
  PendingComment pending = PendingComment::kNone;
  int pendingLevel = -1;
};

// Whether a word could be the name of a define (false means it is none).
inline bool MayBeDefineName(const PreprocState& p, std::string_view word) {
  std::uint64_t lengths = p.defineLengthsByFirst[static_cast<unsigned char>(word[0])];
  return ((lengths >> (word.size() < 63 ? word.size() : 63)) & 1) != 0;
}

// Processes one reader text; returns the text to write as the next line of
// <base>.000 (empty or the emit buffer). The cursor position on return is the
// number of bytes of the reader's text that the line used.
std::string_view PreprocessLine(Compiler& c, SourceText text);

// Line processing steps (exposed for tests).
// Skips blanks at the cursor, counting line feeds into the current level's line
// counter; with the d option a passed line break sets the error position and,
// when emitMarker is set, appends the LINE marker to the emit buffer.
void SkipLineBreaks(Compiler& c, bool emitMarker = true);
// Reads the line at the cursor without its comments into the line copy (with
// CR LF appended) and returns it; the cursor stays on the line feed, or after
// the "*/" of a comment that ended the line.
std::string_view ReadSourceLine(Compiler& c);
// The warnings about one line after its defines are substituted (when they
// are switched on): lower-case directives, backslashes, leading zeros.
void WarnAboutLine(Compiler& c, std::string_view line);
// Replaces defined names in the line copy by their values.
void SubstituteDefines(Compiler& c);
// Turns character constants such as 'A' in the line copy into decimal codes.
void ConvertCharConstants(Compiler& c);

// A line being built with its defines replaced. Until the first replacement
// the line may grow to its buffer's capacity; from it on the whole line, its
// CR LF included, must stay within kLineWorkLimit, and what passes it is cut.
struct LineOut {
  FixedText<kLineCapacity>& line;
  std::size_t limit = kLineCapacity - 1;
  bool replaced = false;
  bool full = false;  // a part was cut at the limit

  // Appends what fits below the limit; false when not all of it did.
  bool Put(std::string_view s) {
    std::size_t used = line.size();
    std::size_t room = used < limit ? limit - used : 0;
    if (s.size() <= room) return line.append(s);
    line.append(s.substr(0, room));
    full = true;
    return false;
  }
};
// Puts a word, or the value of the define it names (entries from minEntry on
// only), expanded in turn; false once the line is full.
bool PutWord(const PreprocState& p, std::string_view word, int minEntry, LineOut& out);
// Puts text with the words of entries from minEntry on replaced.
bool PutExpanded(const PreprocState& p, std::string_view text, int minEntry, LineOut& out);
// Cuts a line that passed the limit to what fits with its line end, and
// reports it.
void CutLine(Compiler& c, LineOut& out);
// Ends a built line with CR LF; a line that passed the limit is cut.
inline void FinishLine(Compiler& c, LineOut& out) {
  if (out.replaced && (out.full || out.line.size() + 2 > out.limit)) {
    CutLine(c, out);
    return;
  }
  out.line.append("\r\n");
}

// The comments met while a line is read: each moves the cursor past it (a
// "//" comment up to its line feed, a "/*" comment from its '*' to after the
// closing pair, counting the line feeds inside).
void SkipLineComment(Compiler& c);
void SkipBlockComment(Compiler& c);

// The line at the cursor, which begins with neither a directive's '#' nor the
// 'L' of a marker, in an active region: read, its comments removed, its
// defines and character constants replaced, in one walk. Returns the text to
// write; the cursor stays where ReadSourceLine leaves it.
std::string_view WalkSourceLine(Compiler& c);

// The define table.
// The entry of a name: -1 when there is none. The empty name meets the first
// free entry (when the table has one).
int FindDefine(const PreprocState& p, std::string_view name);
// Appends a new entry for a name that has none; -1 when the table is full.
int AddDefine(PreprocState& p, std::string_view name);

// The directives: each resets the cursor to the start of the line copy and
// returns 1 when the line is its own (having done its work), else 0.
int EndifDirective(Compiler& c);
int ElseDirective(Compiler& c);
int IfDirective(Compiler& c);
int IfNotDirective(Compiler& c);
int IfGreaterDirective(Compiler& c);
int IfLessDirective(Compiler& c);
int IfGreaterOrEqualDirective(Compiler& c);
int IfLessOrEqualDirective(Compiler& c);
int IncludeDirective(Compiler& c);
int DefineDirective(Compiler& c);

// 1 when lines at the current nesting depth are compiled.
int RegionActive(const Compiler& c);

}  // namespace stackcc
