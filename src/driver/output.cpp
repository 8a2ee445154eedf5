#include "driver/output.h"

#include <cstring>

#include "driver/compiler.h"
#include "driver/text_helpers.h"

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
  if (c.driver.stopped) return;
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

// Stores a followed by b in the ring and returns where the copy starts.
char* StoreScratch(Compiler& c, std::string_view a, std::string_view b, std::size_t* stored) {
  OutputState& o = c.out;
  std::size_t total = a.size() + b.size();
  if (total + 1 > static_cast<std::size_t>(kScratchSize)) {
    ReportError(c, kErrScratchFull, "");
    total = kScratchSize - 1;
    if (a.size() > total) a = a.substr(0, total);
    b = b.substr(0, total - a.size());
  }
  std::size_t start = static_cast<std::size_t>(o.scratchNext);
  // A string that would run past the end of the area goes to its start instead.
  if (start + total + 1 > static_cast<std::size_t>(kScratchSize)) start = 0;
  char* area = o.scratch.raw();
  if (!a.empty()) std::memcpy(area + start, a.data(), a.size());
  if (!b.empty()) std::memcpy(area + start + a.size(), b.data(), b.size());
  area[start + total] = '\0';
  o.scratchNext = start >= static_cast<std::size_t>(kScratchThreshold)
                      ? 0
                      : static_cast<int>(start + total + 2);
  if (o.scratchNext >= kScratchSize) o.scratchNext = 0;
  *stored = total;
  return area + start;
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

std::string_view ScratchLeft(Compiler& c, std::string_view text, int n) {
  std::size_t len = 0;
  char* s = StoreScratch(c, text, {}, &len);
  std::size_t keep = n < 0 ? 0 : static_cast<std::size_t>(n);
  if (keep < len) s[keep] = '\0';
  return std::string_view(s, keep < len ? keep : len);
}

std::string_view ScratchRight(Compiler& c, std::string_view text, int n) {
  std::size_t len = 0;
  char* s = StoreScratch(c, text, {}, &len);
  std::size_t keep = n < 0 ? 0 : static_cast<std::size_t>(n);
  if (keep > len) keep = len;
  return std::string_view(s + len - keep, keep);
}

std::string_view ScratchJoin(Compiler& c, std::string_view a, std::string_view b) {
  std::size_t len = 0;
  char* s = StoreScratch(c, a, b, &len);
  return std::string_view(s, len);
}

void WriteSideFile(Compiler& c, OutFile& file, std::string_view text) {
  if (c.driver.stopped) return;
  if (!file.Write(text)) {
    Console(c, "Error writing file...");
    StopRun(c, -1);
  }
}

}  // namespace stackcc
