// Error reporting: one operation, a numeric code from the error table, and an
// auxiliary text. A report goes to the console and to <base>.err and sets the
// error flag; compilation goes on.
#pragma once

#include <bitset>
#include <string_view>

#include "base/fixed_text.h"
#include "base/text_helpers.h"
#include "io/out_file.h"
#include "io/source_positions.h"
#include "io/tool_options.h"

namespace stackcc {

struct Compiler;

constexpr int kErrorSlots = 80;
constexpr int kErrorLineCapacity = 100000;

struct ErrorEntry {
  int code;
  const char* message;
};

// The constant table: 80 slots, unused slots hold code 0 and an empty message.
const ErrorEntry* ErrorTable();
// The message of a code, empty when the table has none.
std::string_view ErrorMessage(int code);

// Codes used by the compiler. The first group is the historical table; the second
// group fills free slots for limits the language always had but never checked.
enum ErrorCode : int {
  kErrArray = 1,
  kErrString = 2,
  kErrParentheses = 3,
  kErrDigit = 4,
  kErrVariable = 5,
  kErrList = 10,
  kErrData = 11,
  kErrExpression = 12,
  kErrName = 13,
  kErrNotFound = 21,
  kErrNotPointer = 22,
  kErrStructUndefined = 27,
  kErrFunctionSize = 28,
  kErrMissingSemicolon = 41,
  kErrMissingWhile = 42,
  kErrMissingBrace = 43,
  kErrBreakOutOfLoop = 45,
  kErrMissingColon = 46,
  kErrExternDeclaration = 47,
  kErrNoFile = 48,
  kErrReturnValue = 49,
  kErrParamCount = 51,
  kErrEndifWithoutIf = 52,
  kErrIfBadParameters = 53,
  kErrDataSpace = 101,
  kErrAlreadyDefined = 102,
  // Limits.
  kErrIncludeDepth = 54,
  kErrIncludeName = 55,
  kErrFileName = 56,
  kErrSuffix = 57,
  kErrOutputFull = 58,
  kErrStatementLength = 60,
  kErrDefineTableFull = 61,
  kErrDefineLength = 62,
  kErrIfNesting = 63,
  kErrLineLength = 64,
  kErrTokenLength = 65,
  kErrSymbolTableFull = 70,
  kErrMemberTableFull = 71,
  kErrDimensionTableFull = 72,
  kErrDimensionCount = 73,
  kErrNameLength = 74,
  kErrTypeNameLength = 75,
  kErrLiteralLength = 76,
  kErrDimensionLength = 77,
  kErrExpressionLength = 80,
  kErrTermTableFull = 81,
  kErrCodeLength = 82,
  kErrStatementOutput = 83,
  kErrBlockUnderflow = 90,
  kErrBlockNesting = 91,
  kErrCaseOutsideSwitch = 92,
  kErrSwitchSubject = 93,
  kErrFunctionName = 94,
  kErrParameterLength = 95,
  // Programs that would compute something other than what they say.
  kErrStringNeedsArray = 78,
  kErrPointersAdded = 84,
  kErrMissingClosingBrace = 96,
};

struct Diagnostics {
  int errorFlag = 0;
  int reportCount = 0;  // reports so far, and the code of the last one
  int lastCode = 0;
  std::bitset<128> codesSeen;  // every code reported in this run (below 128)
  FixedText<kErrorLineCapacity> errorLineText;
  OutFile errorStream;
  // Positions for the gcc-style lines and the warnings; warnings given so far.
  PositionLog positions;
  int warningCount = 0;
};

// Reports an error. The auxiliary text is shown without any "_func_" suffix.
// The gcc-style line (-fdiagnostics-format=gcc) shows editorDetail instead of
// the auxiliary text when one is given (the name of a file that cannot be
// opened, which the historical report leaves out).
void ReportError(Compiler& c, int code, std::string_view aux, std::string_view editorDetail = {});

// Reports a warning when it is switched on: a line on stderr naming the source
// position, what the code does here and how to write it instead.
void ReportWarning(Compiler& c, Warning w, std::string_view text);
// The same for a warning decided later than the statement it is about (at the
// end of the text): the line names the position given.
void ReportWarningAt(Compiler& c, Warning w, const SourcePosition& at, std::string_view text);

// The same, cutting the caller's text at "_func_" in place first (names declared
// in a function carry that suffix; the report, and the caller, keep the bare name).
template <std::size_t N>
void ReportError(Compiler& c, int code, FixedText<N>& aux) {
  std::size_t cut = aux.find(kFunctionMark);
  if (cut != FixedText<N>::npos) aux.truncate(cut);
  ReportError(c, code, aux.view());
}

}  // namespace stackcc
