// The emit buffer and the output streams. Handlers append
// finished lines (each with its CR LF) to the emit buffer; the driver writes a
// handler's result as one line of the pass output; data declarations flush the
// buffer into a section file.
#pragma once

#include <string_view>

#include "base/compiler.h"
#include "base/fixed_text.h"
#include "io/out_file.h"

namespace stackcc {

constexpr int kEmitCapacity = 102400;

using EmitText = FixedText<kEmitCapacity>;

struct OutputState {
  EmitText emit;
  bool emitOverflowReported = false;
  OutFile passOut;  // <base>.000 in pass 1, <base>.001 (the code stream) in pass 2
  OutFile section2;
  OutFile section3;
  OutFile section4;
  OutFile functionList;                 // funct1.txt
  OutFile listing;                      // <header base>.lst
  OutFile header;                       // <header base>.h
};

// The report of an emit buffer that overflowed.
void EmitOverflowed(Compiler& c);
// Appends text to the emit buffer. When it does not fit, what fits is kept and
// the overflow is reported once until the buffer is next emptied. Inline: every
// line passes through here.
inline void Emit(Compiler& c, std::string_view text) {
  if (!c.out.emit.append(text)) EmitOverflowed(c);
}
inline void EmitNumber(Compiler& c, long long value) {
  char buf[24];
  Emit(c, DecimalDigits(buf, value));
}
// Empties the emit buffer (and re-arms the overflow report).
void ClearEmit(Compiler& c);
// Replaces the emit buffer's content.
void SetEmit(Compiler& c, std::string_view text);

// Trims spaces and writes the text and CR LF to the pass output. A failed write
// prints "Error writing file..." and stops the run with status -1.
void WriteCodeLine(Compiler& c, std::string_view text);

// Each writes a non-empty emit buffer and CR LF to its file, then empties it.
void FlushCode(Compiler& c);
void FlushSection2(Compiler& c);
void FlushSection3(Compiler& c);
void FlushSection4(Compiler& c);

// Writes to one of the side files (listing, header, function list); failures are
// handled like a failed line write.
void WriteSideFile(Compiler& c, OutFile& file, std::string_view text);

}  // namespace stackcc
