// The statements inside blocks that jump or land: case and default labels of a
// switch, return, break and continue, user labels and goto.
#include "base/compiler.h"
#include "decl/data_layout.h"
#include "decl/opening_words.h"
#include "decl/tables.h"
#include "expr/expression.h"
#include "io/diagnostics.h"
#include "io/output.h"
#include "scanner/scanner.h"
#include "stmt/block_stack.h"
#include "stmt/statements.h"

namespace stackcc {

namespace {

// Case and default stand directly in a switch body: the innermost open block
// must be a switch.
bool InSwitchBody(Compiler& c, std::string_view keyword) {
  const BlockState& b = c.blocks;
  if (b.overflowDepth == 0 && b.blockLevel > 0 && b.stack[b.blockLevel - 1].kind == BlockSwitch) {
    return true;
  }
  ReportError(c, kErrCaseOutsideSwitch, keyword);
  return false;
}

struct JumpTargets {
  int kind;
  std::string_view breakTarget;
  std::string_view continueTarget;  // empty: continue passes the block over
};

constexpr JumpTargets kJumpTargets[] = {
    {BlockFor, "end_for", "for"},
    {BlockWhile, "end_while", "while"},
    {BlockDo, "end_do_while", "test_do_while"},
    {BlockSwitch, "end_switch", ""},
};

std::string_view TargetOf(int kind, bool isBreak) {
  for (const JumpTargets& t : kJumpTargets) {
    if (t.kind == kind) return isBreak ? t.breakTarget : t.continueTarget;
  }
  return {};
}

// Jumps to the innermost enclosing block that has a target for the statement.
int CompileLoopJump(Compiler& c, bool isBreak) {
  BlockState& b = c.blocks;
  for (int level = b.blockLevel - 1; level >= 0; --level) {
    std::string_view target = TargetOf(b.stack[level].kind, isBreak);
    if (target.empty()) continue;
    int saved = b.blockLevel;
    b.blockLevel = level;
    b.labelNumber = b.stack[level].counter;
    EmitGoto(c, target);
    b.blockLevel = saved;
    return 1;
  }
  ReportError(c, kErrBreakOutOfLoop, "");
  return 1;
}

// name + "_label_" + the function label: user labels are local to a function.
FixedText<256> UserLabel(const Compiler& c, std::string_view name) {
  FixedText<256> label(name);
  label.append("_label_");
  label.append(c.decl.currentFunctionLabel.view());
  return label;
}

}  // namespace

namespace {

// The common head of case and default: the ":" and a switch body around them.
// Takes the switch's next CASE_ slot, writing its label with the switch's
// number (and, for a case, the jump that lets the previous case fall through).
// Returns the slot, or -1 when the statement was reported instead.
int OpenCaseSlot(Compiler& c, std::string_view keyword, bool fallThrough) {
  if (!MatchText(c, ":")) {
    ReportError(c, kErrMissingColon, "");
    return -1;
  }
  if (!InSwitchBody(c, keyword)) return -1;
  BlockState& b = c.blocks;
  int level = b.blockLevel - 1;
  int k = b.caseCounter[level];
  b.labelNumber = b.stack[level].counter;
  if (fallThrough) EmitGoto(c, NumberedName("INCASE_", k).view());
  EmitControlLabel(c, NumberedName("CASE_", k).view());
  b.caseCounter[level] = k + 1;
  return k;
}

}  // namespace

int CompileCase(Compiler& c) {
  FixedText<64> value(ReadNumber(c, true));
  int k = OpenCaseSlot(c, WordOf(WordTaker::kCase), true);
  if (k < 0) return 1;
  BlockState& b = c.blocks;
  int level = b.blockLevel - 1;
  // The subject is evaluated again for every case tested.
  if (b.switchTestable[level] && !value.empty()) {
    // The subject is a group of its own: "a & 3" compared with 0 is
    // "(a & 3)==0", not "a & 3==0".
    FixedText<kSwitchSubjectCapacity + 72> test("(");
    test.append(b.switchSubject[level].view());
    test.append(")==");
    test.append(value.view());
    CompileExpression(c, test.view());
    EmitGotoFalse(c, NumberedName("CASE_", k + 1).view());
  }
  EmitControlLabel(c, NumberedName("INCASE_", k).view());
  return 1;
}

int CompileDefault(Compiler& c) {
  OpenCaseSlot(c, WordOf(WordTaker::kDefault), false);
  return 1;
}

// The value of a return: one parenthesised group followed by ";" as it stands,
// else the text up to the statement's ";" (when the keyword ends at a blank or
// "("; "return_value" is the keyword and "_value" what follows). No value for a
// bare "return;". The ";" is left for the next call, an empty statement.
std::optional<std::string_view> ReadReturnValue(Compiler& c) {
  char after = ScanChar(c);
  if (!IsBlank(after) && after != '(') return ReadParenthesised(c, false);
  SkipBlanks(c);
  if (GroupEndsStatement(c)) return ReadParenthesised(c, false);
  char next = ScanChar(c);
  if (next == ';' || next == '}' || next == '\0') return std::nullopt;
  return ReadValueText(c);
}

int CompileReturn(Compiler& c) {
  int size = SymbolElementSize(c, CurrentFunctionName(c));
  std::optional<std::string_view> value = ReadReturnValue(c);
  int valueSize = -1;
  if (value.has_value()) {
    if (size <= 0) {
      ReportError(c, kErrReturnValue, "");
      return 1;
    }
    if (IsBlankText(*value)) {
      ReportError(c, kErrExpression, "");
      return 1;
    }
    c.blocks.headText.assign(*value);
    valueSize = CompileExpression(c, c.blocks.headText.view());
    Emit(c, "null_last_line\r\n");
  } else if (size > 0) {
    valueSize = CompileExpression(c, "0");
    Emit(c, "null_last_line\r\n");
  }
  EmitReturn(c, valueSize, size);
  return 1;
}

int CompileBreak(Compiler& c) {
  return CompileLoopJump(c, true);
}
int CompileContinue(Compiler& c) {
  return CompileLoopJump(c, false);
}

int CompileLabel(Compiler& c) {
  ScanCursor start = c.scan.cur;
  FixedText<128> name(ReadName(c, false));
  if (!name.empty() && MatchText(c, ":")) {
    EmitLabel(c, UserLabel(c, name.view()).view());
    return 1;
  }
  // Only the position goes back: a marker met after the name stays in the emit
  // buffer (and is met again by the next handler that skips blanks there).
  c.scan.cur = start;
  return 0;
}

int CompileGoto(Compiler& c) {
  FixedText<128> name(ReadName(c, true));
  EmitPlainGoto(c, UserLabel(c, name.view()).view());
  if (!MatchText(c, ";")) ReportError(c, kErrMissingSemicolon, "");
  return 1;
}

}  // namespace stackcc
