// The emit buffer (c.out) and the output streams: appending, resetting,
// writing a handler's text as one line of the pass output, and flushing data
// into the section files.
#include "io/output.h"

#include <cstring>

#include "base/compiler.h"
#include "io/run_state.h"
#include "io/diagnostics.h"
#include "base/text_helpers.h"

namespace stackcc {

void EmitOverflowed(Compiler& c) {
  if (c.out.emitOverflowReported) return;
  c.out.emitOverflowReported = true;
  ReportError(c, kErrOutputFull, "");
}

void ClearEmit(Compiler& c) {
  c.out.emit.clear();
  c.out.emitOverflowReported = false;
}

void SetEmit(Compiler& c, std::string_view text) {
  ClearEmit(c);
  Emit(c, text);
}

void WriteCodeLine(Compiler& c, std::string_view text) {
  if (c.run.stopped) return;
  if (!c.out.passOut.Write(TrimSpaces(text))) {
    Console(c, "Error writing file...");
    StopRun(c, -1);
    return;
  }
  c.out.passOut.Write("\r\n");
}

namespace {

void FlushTo(Compiler& c, OutFile& file) {
  if (c.out.emit.empty()) return;
  file.Write(c.out.emit.view());
  file.Write("\r\n");
  ClearEmit(c);
}


}  // namespace

void FlushCode(Compiler& c) {
  FlushTo(c, c.out.passOut);
}
void FlushSection2(Compiler& c) {
  FlushTo(c, c.out.section2);
}
void FlushSection3(Compiler& c) {
  FlushTo(c, c.out.section3);
}
void FlushSection4(Compiler& c) {
  FlushTo(c, c.out.section4);
}

void WriteSideFile(Compiler& c, OutFile& file, std::string_view text) {
  if (c.run.stopped) return;
  if (!file.Write(text)) {
    Console(c, "Error writing file...");
    StopRun(c, -1);
  }
}

}  // namespace stackcc
