// The statements that open blocks: if, else, while, do, for and switch. Each
// compiles its head, pushes a block record, and leaves the end of the block to
// the closing brace. A head whose group is missing compiles no condition.
#include "base/compiler.h"
#include "io/diagnostics.h"
#include "io/output.h"
#include "scanner/scanner.h"
#include "expr/expression.h"
#include "stmt/statements.h"
#include "base/text_helpers.h"
#include "stmt/block_stack.h"
#include "stmt/statement_warnings.h"

namespace stackcc {

namespace {

// Every block statement needs "{" on its head; without it nothing is opened.
bool BraceFollows(Compiler& c) {
  if (MatchText(c, "{")) return true;
  ReportError(c, kErrMissingBrace, "");
  return false;
}

struct ForParts {
  std::string_view init;
  std::string_view condition;
  std::string_view step;
};

// init ; condition ; step — parts that are missing are empty.
ForParts SplitForGroup(std::string_view group) {
  ForParts parts;
  std::size_t first = group.find(';');
  parts.init = group.substr(0, first);
  if (first == std::string_view::npos) return parts;
  std::string_view rest = group.substr(first + 1);
  std::size_t second = rest.find(';');
  parts.condition = rest.substr(0, second);
  if (second != std::string_view::npos) parts.step = rest.substr(second + 1);
  return parts;
}

}  // namespace

int CompileIf(Compiler& c) {
  bool hasCondition = ReadHeadGroup(c, true);
  if (!BraceFollows(c) || !BeginBlock(c)) return 1;
  if (hasCondition) {
    CompileExpression(c, c.blocks.headText.view());
    EmitGotoFalse(c, "end_if1");
  }
  PushBlock(c, BlockIf);
  return 1;
}

int CompileElse(Compiler& c) {
  if (!BraceFollows(c) || !CheckNesting(c)) return 1;
  // The number of the if block that the "}" before this else just closed.
  BlockState& b = c.blocks;
  b.labelNumber = b.stack[b.blockLevel].counter;
  PushBlock(c, BlockElse);
  return 1;
}

int CompileWhile(Compiler& c) {
  bool hasCondition = ReadHeadGroup(c, true);
  if (!BraceFollows(c) || !BeginBlock(c)) return 1;
  EmitControlLabel(c, "while");
  FlushCode(c);
  if (hasCondition) {
    CompileExpression(c, c.blocks.headText.view());
    EmitGotoFalse(c, "end_while");
  }
  PushBlock(c, BlockWhile);
  return 1;
}

int CompileDo(Compiler& c) {
  if (!BraceFollows(c) || !BeginBlock(c)) return 1;
  EmitControlLabel(c, "do");
  PushBlock(c, BlockDo);
  return 1;
}

// Layout: init; goto out_for; for: step; out_for: condition, exit to end_for;
// body; goto for (at the closing brace); end_for.
int CompileFor(Compiler& c) {
  bool hasGroup = ReadHeadGroup(c, false);
  if (!BraceFollows(c) || !BeginBlock(c)) return 1;
  ForParts parts = SplitForGroup(c.blocks.headText.view());
  if (hasGroup) CompileExpression(c, parts.init);
  EmitGoto(c, "out_for");
  EmitControlLabel(c, "for");
  if (hasGroup) CompileExpression(c, parts.step);
  EmitControlLabel(c, "out_for");
  if (!TrimSpaces(parts.condition).empty()) {
    CompileExpression(c, parts.condition);
    EmitGotoFalse(c, "end_for");
  }
  PushBlock(c, BlockFor);
  return 1;
}

int CompileSwitch(Compiler& c) {
  BlockState& b = c.blocks;
  int level = b.blockLevel;
  bool hasSubject = ReadHeadGroup(c, true);
  std::string_view subject = b.headText.view();
  bool fits = subject.size() < static_cast<std::size_t>(kSwitchSubjectCapacity);
  if (hasSubject && !fits) ReportError(c, kErrSwitchSubject, "");
  if (hasSubject && fits) WarnSwitchSubject(c, subject);
  b.switchSubject[level].assign(fits ? subject : std::string_view{});
  b.switchTestable[level] = hasSubject && fits;
  if (!BraceFollows(c) || !BeginBlock(c)) return 1;
  b.caseCounter[level] = 0;
  PushBlock(c, BlockSwitch);
  // Case labels carry the level of the switch body and the switch's number.
  EmitGoto(c, "CASE_0");
  return 1;
}

}  // namespace stackcc
