// Where a statement stands in the source, known whether or not the run writes
// line markers: Pass 1 notes the source line of every line it writes to
// <base>.000, and Pass 2 counts the line feeds of <base>.000 as it reads, so a
// report in either pass names the file and line of the text in hand. Kept only
// when a tool option asks for positions (warnings, gcc-style diagnostics).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace stackcc {

struct Compiler;

struct SourcePosition {
  std::string_view file;  // empty when the run is not in a file
  int line = 0;
};

struct PositionLog {
  bool enabled = false;
  int pass = 0;
  // Pass 1: from line firstLine of <base>.000 on, the text came from line `line`
  // of files[file].
  struct Mark {
    std::uint32_t firstLine;
    std::uint32_t file;
    int line;
  };
  std::vector<std::string> files;
  std::vector<Mark> marks;
  std::uint32_t linesWritten = 0;
  // Pass 2: the offsets of the line feeds of <base>.000 read so far, and the
  // offset of the first byte of the statement in hand.
  std::vector<std::uint64_t> lineEnds;
  std::uint64_t statementStart = 0;
};

// Pass 1: the text about to be written to <base>.000 for the reader's text in hand.
void NoteIntermediateLines(Compiler& c, std::string_view written);
// Pass 2: the statement in hand begins at this byte of the reader's window.
void NoteStatementStart(Compiler& c, const char* at);
// The file and line of the text in hand.
SourcePosition CurrentPosition(const Compiler& c);

}  // namespace stackcc
