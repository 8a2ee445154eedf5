// Decimal numbers that do not fit the bytes they are stored in: in code every
// number is four bytes, in an initialiser it has its element's width.
#pragma once

#include <string_view>

namespace stackcc {

struct Compiler;

// Whether the digits (a minus before them when negative) fit in the bytes as a
// signed value, or, with unsignedToo, also as an unsigned one.
bool DecimalFits(std::string_view digits, bool negative, int bytes, bool unsignedToo);

// -Wnumber-range for a number of an expression (its text as written, a sign
// and decimal digits; hexadecimal numbers are left alone).
void WarnNumberInCode(Compiler& c, std::string_view text);

// -Wnumber-range for an initialiser's number written into `bytes` bytes for an
// element declared `declared` bytes wide.
void WarnNumberInData(Compiler& c, std::string_view digits, bool negative, int bytes, int declared);

}  // namespace stackcc
