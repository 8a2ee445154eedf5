// Warnings about a source line where the language reads what C would not:
// lower-case directives that pass through as text, backslashes that are no
// escapes, and numbers whose leading zero makes no octal number.
#include <string>

#include "base/bytes.h"
#include "base/compiler.h"
#include "io/diagnostics.h"
#include "io/run_state.h"
#include "preproc/preproc.h"

namespace stackcc {

namespace {

constexpr std::string_view kCDirectives[] = {"ifdef", "ifndef", "if",   "elif",
                                             "else",  "endif",  "undef"};

void WarnLowercaseDirective(Compiler& c, std::string_view line) {
  std::size_t at = line.find_first_not_of(" \t");
  if (at == std::string_view::npos || line[at] != '#') return;
  std::size_t end = at + 1;
  while (end < line.size() && IsLetter(line[end])) ++end;
  std::string_view word = line.substr(at + 1, end - at - 1);
  for (std::string_view d : kCDirectives) {
    if (word != d) continue;
    std::string text = "'#" + std::string(word) + "' is no directive here: the line is compiled as text; ";
    text += word == "undef" ? "a #define holds to the end of the preprocessing"
                            : "use the upper-case #IF, #IFNOT, #ELSE and #ENDIF, which test a "
                              "#define's value";
    ReportWarning(c, Warning::kLowercaseDirective, text);
    return;
  }
}

// "010 is ten here...": the number as this language reads it, and as C would.
std::string LeadingZeroText(const std::string& number) {
  std::size_t first = number.find_first_not_of('0');
  std::string decimal = first == std::string::npos ? "0" : number.substr(first);
  std::string text = number + " is the decimal number " + decimal + " here";
  if (number.find_first_of("89") == std::string::npos && number.size() <= 11) {
    text += ", not the octal number of C (" + std::to_string(std::stoll(number, nullptr, 8)) + ")";
  }
  return text + ": write " + decimal + " without the leading zero";
}

// Walks the line outside string literals and character constants; reports the
// first backslash inside one, and the first number with a leading zero.
void WarnEscapesAndZeros(Compiler& c, std::string_view line) {
  bool escapeTold = false, zeroTold = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    char ch = line[i];
    if (ch == '"' || ch == '\'') {
      std::size_t close = line.find(ch, i + 1);
      std::string_view inside = line.substr(
          i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1);
      if (!escapeTold && inside.find('\\') != std::string_view::npos) {
        escapeTold = true;
        ReportWarning(c, Warning::kStringEscape,
                      ch == '"'
                          ? "a backslash in a string is an ordinary character here: \"\\n\" is "
                            "two characters; put the character's code in the data instead"
                          : "'\\n' is no character constant here (only one character between "
                            "quotes is): write the character's decimal code, 10 for a line feed");
      }
      if (close == std::string_view::npos) return;
      i = close;
      continue;
    }
    bool starts = ch == '0' && i + 1 < line.size() && IsDigit(line[i + 1]) &&
                  (i == 0 || !(IsNameChar(line[i - 1]) || line[i - 1] == '.'));
    if (!starts || zeroTold) continue;
    std::size_t end = i;
    while (end < line.size() && IsDigit(line[end])) ++end;
    if (end < line.size() && IsNameChar(line[end])) continue;
    zeroTold = true;
    std::string number(line.substr(i, end - i));
    ReportWarning(c, Warning::kLeadingZero, LeadingZeroText(number));
  }
}

}  // namespace

void WarnAboutLine(Compiler& c, std::string_view line) {
  const ToolOptions& o = c.run.tools;
  if (WarningOn(o, Warning::kLowercaseDirective)) WarnLowercaseDirective(c, line);
  if (WarningOn(o, Warning::kStringEscape) || WarningOn(o, Warning::kLeadingZero)) {
    WarnEscapesAndZeros(c, line);
  }
}

}  // namespace stackcc
