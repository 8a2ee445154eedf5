// The directives of Pass 1. Each reads the line copy from its start and takes
// the line when it begins with its keyword (after blanks and markers), in the
// case shown and with the trailing space where the keyword has one; text after
// the operands is ignored.
#include <filesystem>
#include <system_error>

#include "base/compiler.h"
#include "io/run_state.h"
#include "io/paths.h"
#include "io/diagnostics.h"
#include "io/source_reader.h"
#include "scanner/scanner.h"
#include "preproc/preproc.h"
#include "base/text_helpers.h"

namespace stackcc {

namespace {

using DefineText = FixedText<kDefineFieldCapacity>;

int MatchDirective(Compiler& c, std::string_view keyword) {
  c.scan.cur.position = 0;
  return MatchText(c, keyword);
}

// The rest of the line after the cursor without its line end, as a value:
// leading spaces and tabs skipped, cut at the first control character.
std::string_view RestOfLineValue(Compiler& c) {
  std::string_view rest = ScanRest(c);
  std::size_t lf = rest.find('\n');
  if (lf != std::string_view::npos) rest = rest.substr(0, lf);
  return TrimValue(rest);
}

// A new level whose region is on only when the enclosing one is on.
void PushCondition(Compiler& c, int outcome) {
  PreprocState& p = c.pre;
  if (p.condOverflow > 0 || p.condDepth >= kCondLevels - 1) {
    ReportError(c, kErrIfNesting, "");
    ++p.condOverflow;
    return;
  }
  int enclosing = p.condStack[p.condDepth];
  ++p.condDepth;
  p.condStack[p.condDepth] = enclosing == 0 ? 0 : outcome;
}

void TrimTrailingSpaces(DefineText& value) {
  std::size_t end = value.size();
  while (end > 0 && value[end - 1] == ' ') --end;
  value.truncate(end);
}

enum class Test { kIf, kIfNot, kLess, kGreater, kLessOrEqual, kGreaterOrEqual };

// #IF and #IFNOT: is the value one of the words? The comparison comes before
// the end test, so an empty value meets the empty word that ends the list.
int CompareWords(Compiler& c, DefineText& value, bool wanted) {
  TrimTrailingSpaces(value);
  for (;;) {
    std::string_view word = ReadWord(c, false);
    if (value.view() == word) return wanted ? 1 : 0;
    if (word.empty()) return wanted ? 0 : 1;
  }
}

bool RelationFails(Test test, int value, int word) {
  switch (test) {
    case Test::kLess:
      return !(value < word);
    case Test::kGreater:
      return !(value > word);
    case Test::kLessOrEqual:
      return value > word;
    default:
      return value < word;  // kGreaterOrEqual
  }
}

// The numeric tests: on when the relation holds against every word.
int CompareNumbers(Compiler& c, const DefineText& value, Test test) {
  int number = ReadDecimal(value.view());
  for (;;) {
    std::string_view word = ReadWord(c, false);
    if (word.empty()) return 1;
    if (RelationFails(test, number, ReadDecimal(word))) return 0;
  }
}

int Conditional(Compiler& c, std::string_view keyword, Test test) {
  if (!MatchDirective(c, keyword)) return 0;
  DefineText name(ReadName(c, true));
  SkipBlanks(c);
  int entry = FindDefine(c.pre, name.view());
  if (entry < 0) {
    ReportError(c, kErrIfBadParameters, "");
    return 1;
  }
  DefineText& value = c.pre.defines[entry].value;
  int outcome = test == Test::kIf      ? CompareWords(c, value, true)
                : test == Test::kIfNot ? CompareWords(c, value, false)
                                       : CompareNumbers(c, value, test);
  PushCondition(c, outcome);
  return 1;
}

bool IsDirectory(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

}  // namespace

int EndifDirective(Compiler& c) {
  if (!MatchDirective(c, "#ENDIF")) return 0;
  PreprocState& p = c.pre;
  if (p.condOverflow > 0) {
    --p.condOverflow;
  } else if (p.condDepth == 0) {
    ReportError(c, kErrEndifWithoutIf, "");
  } else {
    --p.condDepth;
  }
  return 1;
}

int ElseDirective(Compiler& c) {
  if (!MatchDirective(c, "#ELSE")) return 0;
  PreprocState& p = c.pre;
  if (p.condOverflow > 0) return 1;  // an unrecorded level keeps its enclosing state
  // At depth 0 there is no enclosing level: it counts as off, so a stray #ELSE
  // turns everything after it off.
  int enclosing = p.condDepth == 0 ? 0 : p.condStack[p.condDepth - 1];
  int& top = p.condStack[p.condDepth];
  top = enclosing == 0 ? 0 : 1 - top;
  return 1;
}

int IfDirective(Compiler& c) {
  return Conditional(c, "#IF ", Test::kIf);
}
int IfNotDirective(Compiler& c) {
  return Conditional(c, "#IFNOT ", Test::kIfNot);
}
int IfGreaterDirective(Compiler& c) {
  return Conditional(c, "#IFGREATER ", Test::kGreater);
}
int IfLessDirective(Compiler& c) {
  return Conditional(c, "#IFLESS ", Test::kLess);
}
int IfGreaterOrEqualDirective(Compiler& c) {
  return Conditional(c, "#IFGREATEROREQUAL ", Test::kGreaterOrEqual);
}
int IfLessOrEqualDirective(Compiler& c) {
  return Conditional(c, "#IFLESSOREQUAL ", Test::kLessOrEqual);
}

int IncludeDirective(Compiler& c) {
  if (!MatchDirective(c, "#include ")) return 0;
  std::string_view name = ReadQuoted(c, true);
  if (name.size() > static_cast<std::size_t>(kIncludeNameLimit)) {
    ReportError(c, kErrIncludeName, name);
    return 1;
  }
  std::string path = FindIncludeFile(c, name);
  PushResult pushed = PushResult::kCannotOpen;
  if (!name.empty() && !IsDirectory(path)) pushed = PushIncludeLevel(c, path, name);
  if (pushed == PushResult::kOpened) c.run.inputsOpened.push_back(path);
  if (pushed == PushResult::kTooDeep) {
    ReportError(c, kErrIncludeDepth, "");
  } else if (pushed == PushResult::kCannotOpen) {
    ReportError(c, kErrNoFile, "", name.empty() ? std::string_view("(no name)") : name);
    StopRun(c, 1);
  }
  return 1;
}

int DefineDirective(Compiler& c) {
  if (!MatchDirective(c, "#define ")) return 0;
  PreprocState& p = c.pre;
  DefineText name(ReadName(c, true));
  if (!name.empty() && ScanChar(c) == '(') {
    ReportWarning(c, Warning::kLowercaseDirective,
                  "'#define " + std::string(name.view()) +
                      "(...)' takes no parameters here: every use of the name is replaced by all "
                      "the text after it, the parenthesised list included");
  }
  std::string_view value = RestOfLineValue(c);
  int entry = FindDefine(p, name.view());
  if (entry < 0 && !name.empty()) {
    entry = AddDefine(p, name.view());
    if (entry < 0) {
      ReportError(c, kErrDefineTableFull, name.view());
      return 1;
    }
  }
  if (entry < 0) return 1;  // an unreadable name and no free entry left
  if (!p.defines[entry].value.assign(value)) ReportError(c, kErrDefineLength, name.view());
  return 1;
}

}  // namespace stackcc
