// Operator marking: every operator of an expression text is replaced by its
// marker, the byte 0xA4, the operator's table index in decimal and a blank.
//
// The result is that of three passes: the long names in table order (each name
// replaced wherever it still stands, leftmost first), then unary stars and
// ampersands (told apart by what stands before them), then the one-character
// names. It is built in one walk over the text:
// - A marker holds no character of any name, so a long name only ever matches
//   text as written, and a name taken earlier in table order blocks an
//   overlapping later one. Runs of overlapping long names ("<<=", "!==", "+++")
//   are settled among themselves by that order; all others stand alone.
// - A star or ampersand is unary when nothing, a marker, or a one-character
//   operator of nonzero precedence stands before it (blanks skipped); a star
//   or ampersand before it counts as an operator whichever way it went.
// - Every other one-character name becomes its marker.
// The text must hold no marker byte (the caller blanks stray ones).
//
// The walk gives tokens (LexOperators): an operator token for each marker and
// one operand token for each run of bytes between markers, with the marked
// text's length counted instead of written. MarkOperators writes the tokens out
// as the marked text they stand for.
#include <array>
#include <string_view>

#include "base/bytes.h"
#include "base/compiler.h"
#include "expr/expression_parts.h"
#include "expr/marking_tables.h"
#include "expr/operator_table.h"
#include "io/diagnostics.h"

namespace stackcc {

using namespace marking;

namespace {

// One occurrence of a long name in the text as written.
struct Occurrence {
  short pos;
  unsigned char index;
  unsigned char length;
  bool taken;
};

struct Occurrences {
  std::array<Occurrence, kTermTextCapacity * 2> list;
  int count = 0;
};

void FindLongNames(std::string_view text, Occurrences& found) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char first = static_cast<unsigned char>(text[i]);
    for (int n = 0; n < kTables.longCount[first]; ++n) {
      int index = kTables.longIndex[first][n];
      if (!LongNameAt(text, i, index)) continue;
      if (found.count >= static_cast<int>(found.list.size())) return;
      found.list[found.count++] = {static_cast<short>(i), static_cast<unsigned char>(index),
                                   kTables.nameLength[index], false};
    }
  }
}

// Settles a run of overlapping occurrences [from, to) spanning [start, end):
// names in table order, each taken left to right where no taken name overlaps.
void SettleOverlaps(Occurrences& found, int from, int to, int start, int end) {
  std::array<bool, kTermTextCapacity> busy;
  for (int p = start; p < end; ++p) busy[p - start] = false;
  for (int index = 0; index < kOperatorEntries; ++index) {
    for (int j = from; j < to; ++j) {
      Occurrence& o = found.list[j];
      if (o.index != index) continue;
      bool free = true;
      for (int p = o.pos; p < o.pos + o.length && free; ++p) free = !busy[p - start];
      if (!free) continue;
      o.taken = true;
      for (int p = o.pos; p < o.pos + o.length; ++p) busy[p - start] = true;
    }
  }
}

void ChooseLongNames(Occurrences& found) {
  int j = 0;
  while (j < found.count) {
    int start = found.list[j].pos;
    int end = start + found.list[j].length;
    int k = j + 1;
    while (k < found.count && found.list[k].pos < end) {
      int e = found.list[k].pos + found.list[k].length;
      if (e > end) end = e;
      ++k;
    }
    if (k == j + 1) {
      found.list[j].taken = true;
    } else {
      SettleOverlaps(found, j, k, start, end);
    }
    j = k;
  }
}

// The three passes fail as soon as a replacement makes the text longer than
// 1023 characters. Long names go in table order and each changes the length by
// the same amount every time, so the peak of the first pass is reached at the
// end of some name's replacements; the later passes only grow the text.
bool FirstPassFits(const Occurrences& found, std::size_t length) {
  // No long name grows by more than two bytes (a marker has at most four).
  if (length + 2 * static_cast<std::size_t>(found.count) <= kMarkedLimit) return true;
  int growth[kOperatorEntries] = {};
  for (int j = 0; j < found.count; ++j) {
    const Occurrence& o = found.list[j];
    if (o.taken) growth[o.index] += kTables.markers[o.index].size - o.length;
  }
  long long running = static_cast<long long>(length);
  for (int index = 0; index < kOperatorEntries; ++index) {
    running += growth[index];
    if (running > static_cast<long long>(kMarkedLimit)) return false;
  }
  return true;
}

// The walk's output as tokens: each marker an operator token, each run of
// bytes between markers one operand token; the size is the marked text's.
struct TokenWriter {
  LexTokens& tokens;
  std::size_t size = 0;

  void Put(int index) {
    tokens.list[tokens.count++] = {static_cast<short>(index), 0, 0};
    size += kTables.markers[index].size;
  }
  void Copy(std::size_t at, std::size_t n) {
    size += n;
    if (tokens.count > 0) {
      LexToken& last = tokens.list[tokens.count - 1];
      if (last.op < 0 && static_cast<std::size_t>(last.start + last.length) == at) {
        last.length = static_cast<short>(last.length + n);
        return;
      }
    }
    tokens.list[tokens.count++] = {-1, static_cast<short>(at), static_cast<short>(n)};
  }
};

void WriteMarked(std::string_view text, const Occurrences& found, TokenWriter& out) {
  bool unaryPlace = true;  // a star or ampersand here would be unary
  int next = 0;
  while (next < found.count && !found.list[next].taken) ++next;
  std::size_t nextPos =
      next < found.count ? static_cast<std::size_t>(found.list[next].pos) : text.size();
  for (std::size_t i = 0; i < text.size();) {
    // A run of operand bytes is copied at once.
    if (kTables.plain[static_cast<unsigned char>(text[i])] && i != nextPos) {
      std::size_t run = i + 1;
      while (run < text.size() && run != nextPos &&
             kTables.plain[static_cast<unsigned char>(text[run])]) {
        ++run;
      }
      out.Copy(i, run - i);
      i = run;
      unaryPlace = false;
      continue;
    }
    if (i == nextPos) {
      const Occurrence& o = found.list[next];
      out.Put(o.index);
      i += o.length;
      unaryPlace = true;
      ++next;
      while (next < found.count && !found.list[next].taken) ++next;
      nextPos = next < found.count ? static_cast<std::size_t>(found.list[next].pos) : text.size();
      continue;
    }
    // Not plain: a one-character name or a blank, which stays in the run.
    int index = ShortNameAt(static_cast<unsigned char>(text[i]), unaryPlace);
    if (index > 0) {
      out.Put(index);
    } else {
      out.Copy(i, 1);
    }
    ++i;
  }
}

}  // namespace

bool MarkOperators(Compiler& c, ExprText& text) {
  LexTokens tokens;
  if (!LexOperators(c, text.view(), tokens)) return false;
  // The tokens written out: each operator as its marker, each run as it stands.
  ExprText marked;
  for (int n = 0; n < tokens.count; ++n) {
    const LexToken& token = tokens.list[n];
    if (token.op >= 0) {
      const Marker& m = kTables.markers[token.op];
      marked.append(std::string_view(m.bytes, m.size));
    } else {
      marked.append(text.view().substr(token.start, token.length));
    }
  }
  text = marked;
  return true;
}

bool LexOperators(Compiler& c, std::string_view text, LexTokens& tokens) {
  tokens.count = 0;
  // The callers' texts fit an expression text; each byte gives at most one
  // token, so a longer one could not be held (nor marked within the limit).
  if (text.size() > kMarkedLimit) {
    ReportError(c, kErrExpressionLength, "");
    return false;
  }
  Occurrences found;
  FindLongNames(text, found);
  ChooseLongNames(found);
  TokenWriter out{tokens};
  WriteMarked(text, found, out);
  bool fits = FirstPassFits(found, text.size()) && out.size <= kMarkedLimit;
  if (!fits) ReportError(c, kErrExpressionLength, "");
  return fits;
}

}  // namespace stackcc
