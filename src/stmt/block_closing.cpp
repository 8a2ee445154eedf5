// The closing brace: pops the innermost block and emits the code that ends it.
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

// "} while (condition);": the test that sends the loop round again.
void CloseDo(Compiler& c) {
  if (!MatchText(c, WordOf(WordTaker::kWhile))) {
    ReportError(c, kErrMissingWhile, "");
    return;
  }
  EmitControlLabel(c, "test_do_while");
  // Without its group the loop has no condition and runs once.
  if (ReadHeadGroup(c, true)) {
    CompileExpression(c, c.blocks.headText.view());
    EmitGotoTrue(c, "do");
  }
  EmitControlLabel(c, "end_do_while");
  if (!MatchText(c, ";")) ReportError(c, kErrMissingSemicolon, "");
}

// The last failed case test lands at the body level; the end at the switch's.
void CloseSwitch(Compiler& c) {
  BlockState& b = c.blocks;
  int level = b.blockLevel;
  b.blockLevel = level + 1;
  EmitControlLabel(c, NumberedName("CASE_", b.caseCounter[level]).view());
  b.blockLevel = level;
  EmitControlLabel(c, "end_switch");
}

void CloseFunction(Compiler& c) {
  FixedText<64> end("end_function");
  end.append(c.decl.currentFunctionLabel.view());
  EmitLabel(c, end.view());
  int size = SymbolElementSize(c, CurrentFunctionName(c));
  if (size > 0) Emit(c, "push_parameter 0\r\n");
  EmitReturn(c, size > 0 ? 4 : -1, size);
  NoteFunctionEnd(c);
  c.decl.currentFunctionLabel.clear();
}

}  // namespace

int CloseBlock(Compiler& c) {
  if (!MatchText(c, "}")) return 0;
  BlockState& b = c.blocks;
  if (b.overflowDepth > 0) {  // the block was reported and never opened
    --b.overflowDepth;
    return 1;
  }
  if (b.blockLevel <= 0) {
    ReportError(c, kErrBlockUnderflow, "}");
    return 1;
  }
  --b.blockLevel;
  const BlockRecord& record = b.stack[b.blockLevel];
  b.labelNumber = record.counter;
  switch (record.kind) {
    case BlockIf:
      if (PeekText(c, WordOf(WordTaker::kElse))) EmitGoto(c, "end_if2");
      EmitControlLabel(c, "end_if1");
      break;
    case BlockWhile:
      EmitGoto(c, "while");
      EmitControlLabel(c, "end_while");
      break;
    case BlockFunction:
      CloseFunction(c);
      break;
    case BlockDo:
      CloseDo(c);
      break;
    case BlockSwitch:
      CloseSwitch(c);
      break;
    case BlockElse:
      EmitControlLabel(c, "end_if2");
      break;
    case BlockFor:
      EmitGoto(c, "for");
      EmitControlLabel(c, "end_for");
      break;
    default:
      break;
  }
  return 1;
}

void ReportOpenBlocks(Compiler& c) {
  BlockState& b = c.blocks;
  bool outsideFunction = false;
  for (int level = b.blockLevel - 1; level >= 0; --level) {
    if (b.stack[level].kind == BlockFunction) {
      ReportError(c, kErrMissingClosingBrace, b.functionName[level].view());
      outsideFunction = false;
    } else {
      outsideFunction = true;
    }
  }
  // Blocks below the outermost open function belong to no function.
  if (outsideFunction) ReportError(c, kErrMissingClosingBrace, "");
}

}  // namespace stackcc
