// The pieces of the passes that the driver's files share: the derived names,
// closing the files, and the loop that hands texts to a pass.
#pragma once

#include <string>
#include <string_view>

#include "base/compiler.h"
#include "driver/driver.h"
#include "io/output.h"
#include "io/run_state.h"
#include "io/source_positions.h"
#include "io/source_reader.h"
#include "scanner/scanner.h"

namespace stackcc {

// <base> + ext: the name of a derived file as shown and as opened.
std::string Derived(const Compiler& c, std::string_view ext);
// Closes the reader's files and every output file; an output file that cannot
// take its last bytes stops the run with status -1.
void CloseAll(Compiler& c);
// Says that a file cannot be written and stops the run.
void CannotWrite(Compiler& c, std::string_view shown);

// The first lines of the header file and of the four sections.
void WriteHeadsOfPass2(Compiler& c);

// Hands each reader text to the handler and writes its result as a code line,
// until the reader is done or the run stops.
template <typename Handler>
void RunPassLoop(Compiler& c, int pass, Handler handler) {
  SourceText text;
  bool more = NextSourceText(c, kWindowSize, pass, &text);
  while (more && !c.run.stopped) {
    std::string_view result = handler(c, text);
    if (c.run.stopped) break;
    if (pass == 1) NoteIntermediateLines(c, result);
    WriteCodeLine(c, result);
    int consumed = c.scan.cur.position;
    if (consumed > text.length) consumed = text.length;
    // Every handler consumes its text; a handler that stood still would be handed
    // the same text forever, so the reader is moved on by one byte at least.
    if (consumed <= 0) consumed = 1;
    more = NextSourceText(c, consumed, pass, &text);
  }
}

}  // namespace stackcc
