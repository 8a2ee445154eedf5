// Decimal numbers beyond the bytes that hold them. A number in code is pushed
// as four bytes, so 3037000500 becomes a negative number and 4294967295 is -1;
// an initialiser's number is cut to its element's width.
#include "decl/number_range.h"

#include <cstdint>
#include <string>

#include "base/bytes.h"
#include "base/compiler.h"
#include "io/diagnostics.h"
#include "io/run_state.h"

namespace stackcc {

namespace {

// The magnitude of the digits; false when it does not fit in 64 bits.
bool Magnitude(std::string_view digits, std::uint64_t& value) {
  value = 0;
  for (char ch : digits) {
    if (!IsDigit(ch)) break;
    std::uint64_t d = static_cast<std::uint64_t>(ch - '0');
    if (value > (UINT64_MAX - d) / 10) return false;
    value = value * 10 + d;
  }
  return true;
}

// The value the low four bytes of the number hold, read as a signed number.
std::int64_t StoredInFourBytes(std::string_view digits, bool negative) {
  std::uint32_t low = 0;
  for (char ch : digits) {
    if (!IsDigit(ch)) break;
    low = low * 10u + static_cast<std::uint32_t>(ch - '0');
  }
  if (negative) low = ~low + 1u;
  return static_cast<std::int32_t>(low);
}

std::string DataRangeText(std::string_view digits, bool negative, int bytes, int declared) {
  std::string number(negative ? "-" : "");
  number.append(digits);
  if (bytes == 1 && declared > 1) {
    return number + " is written as one data byte here (a member of " + std::to_string(declared) +
           " bytes in a structure's initialiser takes one byte line per value), which cannot "
           "hold it; use members of four bytes for it, or set the value in code";
  }
  switch (bytes) {
    case 1:
      return number +
             " does not fit in its one-byte element and is cut to one byte here; "
             "write a value from -128 to 255, or declare the element int";
    case 4:
      return number +
             " does not fit in its four-byte element and is cut to four bytes here; "
             "write a value from -2147483648 to 4294967295, or declare the element long";
    default:
      return number + " does not fit in " + std::to_string(bytes) +
             " bytes and is cut to that width here; write a smaller value";
  }
}

}  // namespace

bool DecimalFits(std::string_view digits, bool negative, int bytes, bool unsignedToo) {
  std::uint64_t value = 0;
  if (!Magnitude(digits, value)) return false;
  if (bytes >= 8) return !negative || value <= (std::uint64_t{1} << 63);
  std::uint64_t half = std::uint64_t{1} << (8 * bytes - 1);
  if (negative) return value <= half;
  return value <= (unsignedToo ? 2 * half - 1 : half - 1);
}

void WarnNumberInCode(Compiler& c, std::string_view text) {
  if (!WarningOn(c.run.tools, Warning::kNumberRange)) return;
  bool negative = !text.empty() && text[0] == '-';
  std::string_view digits = negative ? text.substr(1) : text;
  if (digits.size() >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) return;
  if (DecimalFits(digits, negative, 4, false)) return;
  std::string stored = std::to_string(StoredInFourBytes(digits, negative));
  ReportWarning(c, Warning::kNumberRange,
                std::string(text) + " does not fit in the four bytes of a number in code: it is " +
                    stored +
                    " here; keep the value in a long variable with an initialiser (long v = " +
                    std::string(text) + ";) and use the variable");
}

void WarnNumberInData(Compiler& c, std::string_view digits, bool negative, int bytes,
                      int declared) {
  if (!WarningOn(c.run.tools, Warning::kNumberRange)) return;
  if (DecimalFits(digits, negative, bytes, true)) return;
  ReportWarning(c, Warning::kNumberRange, DataRangeText(digits, negative, bytes, declared));
}

}  // namespace stackcc
