// The source reader: a stack of open files, each with its own sliding window.
// The reader never splits lines; it hands out the unconsumed rest of the current
// level's window and the consumer reports back how much of it it used.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/fixed_text.h"
#include "base/lazy_table.h"
#include "io/in_file.h"

namespace stackcc {

struct Compiler;

constexpr int kWindowSize = 20480;
constexpr int kSlideAfter = 1024;  // the window slides once the consumer is past this
constexpr int kIncludeLevels = 20;
// The name shown in markers. Include names are limited to 39 characters by the
// include directive; the source name of level 0 may be as long as a file name.
constexpr int kLevelNameCapacity = 256;
constexpr int kIncludeNameLimit = 39;

struct IncludeLevel {
  InFile stream;
  // The window is the stretch [base, base + 20480) of a buffer twice its size:
  // a slide moves base on and reads the new bytes behind the window, and the
  // bytes are moved back to the front only once base has passed the middle.
  // The buffer's used length ends at the window's valid length, so its
  // terminator bounds every text handed out.
  FixedText<2 * kWindowSize + 1> buffer;
  int base = 0;
  int position = 0;
  int endOfFile = 0;
  int lineCounter = 1;
  std::uint64_t loaded = 0;  // bytes read from the file so far
  FixedText<kLevelNameCapacity> fileName;
};

struct IncludeStack {
  // A level is made when a file is first opened at its depth: each is 40 KB, and
  // most programs never go deeper than one or two includes.
  LazyTable<IncludeLevel, kIncludeLevels> levels;
  int top = 0;
  int lastLevel = 0;
};

// A text handed out by the reader: the rest of a window from the level's
// position up to its valid length (text[length] is a NUL terminator).
struct SourceText {
  char* text = nullptr;
  int length = 0;
};

// The next unconsumed text, or false at the end of input. advance is the
// ConsumedLength of the previous text; pass (1 or 2) selects the control rule.
bool NextSourceText(Compiler& c, int advance, int pass, SourceText* out);

enum class PushResult { kOpened, kCannotOpen, kTooDeep };

// Opens a file as the next level (the include directive). The host path is the
// name resolved for opening; the shown name goes into the level's file name.
PushResult PushIncludeLevel(Compiler& c, const std::string& hostPath, std::string_view shownName);

// Opens level 0 for a pass (the source in pass 1, <base>.000 in pass 2).
bool OpenBaseLevel(Compiler& c, const std::string& hostPath, std::string_view shownName);

// Closes every level's stream (the end of a pass).
void CloseAllLevels(Compiler& c);

// The number of window bytes, from the window's start, that hold file text.
inline int ValidLength(const IncludeLevel& level) {
  return static_cast<int>(level.buffer.size()) - level.base;
}

// The byte rule of a pass for a byte the reader loads.
char NormaliseByte(char ch, int pass);

}  // namespace stackcc
