// Pass 1: line processing (comments, markers, define substitution, character
// constants) and the directives (#include, #define and the #IF family).
#pragma once

#include <string_view>

#include "driver/fixed_text.h"
#include "driver/source_reader.h"

namespace stackcc {

struct Compiler;

constexpr int kDefineEntries = 500;
constexpr int kDefineFieldCapacity = 512;  // names and values: at most 511 characters
constexpr int kCondLevels = 20;
constexpr int kLineCapacity = 102400;
constexpr int kLineWorkLimit = 1023;  // a line after substitution

struct DefineEntry {
  FixedText<kDefineFieldCapacity> name;
  FixedText<kDefineFieldCapacity> value;
};

struct PreprocState {
  DefineEntry defines[kDefineEntries];
  int defineCount = 0;
  int condStack[kCondLevels] = {1};
  int condDepth = 0;
  FixedText<kLineCapacity> lineBuffer;  // the line read by ReadSourceLine, with CR LF
  FixedText<kLineCapacity> lineCopy;    // the copy the directives and substitution work on
};

// Processes one reader text; returns the text to write as the next line of
// <base>.000 (empty or the emit buffer). The cursor position on return is the
// number of bytes of the reader's text that the line used.
std::string_view PreprocessLine(Compiler& c, SourceText text);

}  // namespace stackcc
