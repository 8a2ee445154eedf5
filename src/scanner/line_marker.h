// The file name in a LINE marker. Pass 1 writes "LINE:<n>:<name>" at the start
// of a line of <base>.000, and Pass 2, whose reader turns line ends into
// spaces, finds the end of the marker by its text alone. A name without blanks
// stands as it is and ends at the first blank after it. A name holding a byte
// that Pass 2 reads as a blank (a space, a control byte, a byte from 0x80), or
// beginning with a double quote, is written between double quotes, with '\'
// and '"' preceded by '\' and every control byte as \xNN: it ends at its
// closing quote, and Pass 2 shows it with its own bytes again.
#pragma once

#include <string_view>

#include "base/fixed_text.h"
#include "io/diagnostics.h"

namespace stackcc {

struct Compiler;

// True when the name is written between quotes in a marker.
bool MarkerNameQuoted(std::string_view name);

// Appends the name to the emit buffer as a marker writes it.
void EmitMarkerName(Compiler& c, std::string_view name);

// The end of a marker's position text ("n:name"), which starts at from: after
// the closing quote of a quoted name, else the first blank (or the end).
int MarkerPositionEnd(const char* text, int from, int length);

// Appends the position text as it is shown (in reports and in the code file):
// a quoted name without its quotes and escapes. A byte below the space (a line
// end, say) is shown as '?', so that a marker stays one line.
// Gives false when the text did not fit (what fits is kept).
bool AssignShownPosition(FixedText<kErrorLineCapacity>& out, std::string_view position);

}  // namespace stackcc
