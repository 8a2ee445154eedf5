// The source reader (c.reader): the include stack, each level's sliding window
// over its file, the bytes normalised for each pass, and the hand-over of the
// unconsumed text to the pass loop.
#include "io/source_reader.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/byte_scan.h"
#include "base/bytes.h"
#include "base/compiler.h"
#include "io/diagnostics.h"
#include "io/run_state.h"

namespace stackcc {

char NormaliseByte(char ch, int pass) {
  if (!IsControl(ch)) return ch;
  if (pass == 1 && (ch == '\n' || ch == '\r' || ch == '\0')) return ch;
  return ' ';
}

namespace {

// NormaliseByte over a block of bytes read. Every byte of the source passes
// here once, so the block is done sixteen bytes at a time where the machine
// can; the result is the same.
void NormaliseBlock(char* bytes, int n, int pass) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i below = _mm_set1_epi8(0x20);
  const __m128i blank = _mm_set1_epi8(' ');
  for (; i + 16 <= n; i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    __m128i control = _mm_cmplt_epi8(v, below);  // signed: 0x80-0xFF count too
    if (_mm_movemask_epi8(control) == 0) continue;
    if (pass == 1) {
      __m128i kept = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_setzero_si128()),
                                  _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')),
                                               _mm_cmpeq_epi8(v, _mm_set1_epi8('\r'))));
      control = _mm_andnot_si128(kept, control);
    }
    v = _mm_or_si128(_mm_andnot_si128(control, v), _mm_and_si128(control, blank));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + i), v);
  }
#endif
  for (; i < n; ++i) bytes[i] = NormaliseByte(bytes[i], pass);
}

// Slides the window so that it starts at the position, and refills its end:
// the unconsumed bytes keep their place in the buffer while there is room
// behind them, and are moved to the front otherwise.
void SlideWindow(IncludeLevel& level, int pass, std::vector<std::uint64_t>* lineEnds) {
  int pos = level.position < kWindowSize ? level.position : kWindowSize;
  char* b = level.buffer.raw();
  if (level.base + pos > kWindowSize) {
    std::memmove(b, b + level.base + pos, static_cast<std::size_t>(kWindowSize - pos));
    level.base = 0;
  } else {
    level.base += pos;
  }
  char* freed = b + level.base + (kWindowSize - pos);
  int n = level.stream.Read(freed, pos);
  if (lineEnds != nullptr) {
    for (int i = 0; i < n; ++i) {
      if (freed[i] == '\n') lineEnds->push_back(level.loaded + static_cast<std::uint64_t>(i));
    }
  }
  level.loaded += static_cast<std::uint64_t>(n);
  NormaliseBlock(freed, n, pass);
  int valid = kWindowSize - pos + n;
  if (valid < kWindowSize) level.endOfFile = 1;
  level.buffer.set_length(static_cast<std::size_t>(level.base + valid));
  level.position = 0;
}

// The first byte at or after the position that is not blank (the valid length
// when there is none).
int FirstSolidByte(const IncludeLevel& level) {
  const char* w = level.buffer.c_str() + level.base;
  int valid = ValidLength(level);
  if (level.position >= valid) return valid;
  return SkipBlankBytes(w, level.position, valid, [](int) {});
}

// The blanks in front of the next text run past the point where the window
// slides (or fill the window), while the file goes on: handed out as they
// stand, they would end the file early or leave the next line too little room
// behind them. The reader passes them itself up to the byte before the solid
// one. In pass 1 it counts the line feeds it passes, and one line feed, when
// any was passed, is kept in that last byte, so that the consumer still sees
// the line break (and writes its marker) before the line.
void PassLongBlankRun(IncludeLevel& level, int solid, int pass) {
  char* w = level.buffer.raw() + level.base;
  int keep = solid - 1;
  if (pass == 1) {
    int feeds = 0;
    SkipBlankBytes(w, level.position, solid, [&feeds](int) { ++feeds; });
    if (feeds > 0) {
      w[keep] = '\n';
      level.lineCounter += feeds - 1;
    }
  }
  level.position = keep;
}

void ResetLevel(IncludeLevel& level) {
  level.position = 0;
  level.lineCounter = 1;
  level.endOfFile = 0;
  level.loaded = 0;
  level.base = 0;
  level.buffer.clear();
  level.stream.Close();
}

// A read of the level's file failed: what was read is not the whole file, so
// the run stops as for a file that cannot be opened (the source and <base>.000
// at level 0, an include above it).
void CannotRead(Compiler& c, int top) {
  if (top == 0) {
    Console(c, "Error no file to open \n");
  } else {
    ReportError(c, kErrNoFile, "");
  }
  StopRun(c, 1);
}

}  // namespace

bool NextSourceText(Compiler& c, int advance, int pass, SourceText* out) {
  IncludeStack& s = c.reader;
  if (s.top > s.lastLevel && s.top >= 0) s.levels[s.top].position = kWindowSize;
  if (s.lastLevel >= 0) s.levels[s.lastLevel].position += advance;
  s.lastLevel = s.top;
  while (s.top >= 0) {
    IncludeLevel& level = s.levels[s.top];
    if (level.position > kSlideAfter && level.endOfFile == 0) {
      // Pass 2 counts the lines of <base>.000 when reports must name positions.
      PositionLog& log = c.diag.positions;
      SlideWindow(level, pass, pass == 2 && log.enabled ? &log.lineEnds : nullptr);
      if (level.stream.Failed()) {
        CannotRead(c, s.top);
        return false;
      }
    }
    int solid = FirstSolidByte(level);
    if (solid - 1 > kSlideAfter && level.endOfFile == 0) {
      PassLongBlankRun(level, solid, pass);
      continue;
    }
    if (solid < ValidLength(level)) {
      out->text = level.buffer.raw() + level.base + level.position;
      out->length = ValidLength(level) - level.position;
      return true;
    }
    ResetLevel(level);
    --s.top;
    s.lastLevel = s.top;
  }
  return false;
}

PushResult PushIncludeLevel(Compiler& c, const std::string& hostPath, std::string_view shownName) {
  IncludeStack& s = c.reader;
  if (s.top + 1 >= kIncludeLevels) return PushResult::kTooDeep;
  IncludeLevel& level = s.levels[s.top + 1];
  ResetLevel(level);
  if (!level.stream.Open(hostPath)) return PushResult::kCannotOpen;
  ++s.top;
  level.fileName.assign(shownName);
  return PushResult::kOpened;
}

bool OpenBaseLevel(Compiler& c, const std::string& hostPath, std::string_view shownName) {
  IncludeStack& s = c.reader;
  IncludeLevel& level = s.levels[0];
  ResetLevel(level);
  s.top = 0;
  if (!level.stream.Open(hostPath)) return false;
  level.fileName.assign(shownName);
  return true;
}

void CloseAllLevels(Compiler& c) {
  IncludeStack& s = c.reader;
  for (std::size_t i = 0; i < s.levels.Built(); ++i) s.levels[i].stream.Close();
}

}  // namespace stackcc
