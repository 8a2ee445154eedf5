// The block stack, its label counters and the control-label emitters.
#include "stmt/block_stack.h"

#include "base/compiler.h"
#include "base/text_helpers.h"
#include "decl/tables.h"
#include "expr/expression.h"
#include "io/diagnostics.h"
#include "io/output.h"
#include "io/run_state.h"
#include "scanner/scanner.h"
#include "stmt/statements.h"

namespace stackcc {

namespace {

// name + "_stlev_" + suffix + level + "_ctlbl_" + number, put together in
// place and appended at once (names are the handlers' short words).
void EmitControlName(Compiler& c, std::string_view name) {
  constexpr std::size_t kLongestName = 64;
  if (name.size() > kLongestName) {
    Emit(c, name);
    name = {};
  }
  char text[kLongestName + 7 + kSuffixCapacity + 24 + 7 + 24];
  std::size_t used = 0;
  auto put = [&text, &used](std::string_view piece) {
    CopyBytes(text + used, piece.data(), piece.size());
    used += piece.size();
  };
  char digits[24];
  put(name);
  put("_stlev_");
  put(c.run.targetSuffix.view());
  put(DecimalDigits(digits, c.blocks.blockLevel));
  put("_ctlbl_");
  put(DecimalDigits(digits, c.blocks.labelNumber));
  Emit(c, std::string_view(text, used));
}

}  // namespace

void EmitControlLabel(Compiler& c, std::string_view name) {
  EmitControlName(c, name);
  Emit(c, ":\r\n");
}

void EmitGoto(Compiler& c, std::string_view name) {
  Emit(c, "goto ");
  EmitControlName(c, name);
  Emit(c, "\r\n");
}

void EmitGotoTrue(Compiler& c, std::string_view name) {
  Emit(c, "null_last_line\r\n");
  Emit(c, "goto_true ");
  EmitControlName(c, name);
  Emit(c, "\r\n");
}

void EmitGotoFalse(Compiler& c, std::string_view name) {
  Emit(c, "null_last_line\r\n");
  Emit(c, "goto_false ");
  EmitControlName(c, name);
  Emit(c, "\r\n");
}

void EmitPlainGoto(Compiler& c, std::string_view target) {
  Emit(c, "goto ");
  Emit(c, target);
  Emit(c, "\r\n");
}

bool CheckNesting(Compiler& c) {
  BlockState& b = c.blocks;
  if (b.overflowDepth == 0 && b.blockLevel <= kHighestOpeningLevel) return true;
  ++b.overflowDepth;
  ReportError(c, kErrBlockNesting, "");
  return false;
}

bool BeginBlock(Compiler& c) {
  if (!CheckNesting(c)) return false;
  BlockState& b = c.blocks;
  BlockRecord& record = b.stack[b.blockLevel];
  ++record.counter;
  b.labelNumber = record.counter;
  return true;
}

void PushBlock(Compiler& c, int kind) {
  BlockState& b = c.blocks;
  b.stack[b.blockLevel].kind = kind;
  ++b.blockLevel;
}

bool ReadHeadGroup(Compiler& c, bool valueGroup) {
  std::optional<std::string_view> group = ReadParenthesised(c, true);
  c.blocks.headText.assign(group.value_or(std::string_view{}));
  if (!group.has_value()) return false;
  if (valueGroup && IsBlankText(*group)) {
    ReportError(c, kErrExpression, "");
    return false;
  }
  return true;
}

void EmitReturn(Compiler& c, int valueSize, int functionSize) {
  auto usual = [](int size) { return size == 1 || size == 4 || size == 8; };
  if (valueSize != functionSize && usual(valueSize) && usual(functionSize)) {
    Emit(c, ChangeSizeLine(valueSize, functionSize).view());
  }
  Emit(c, "return\r\n");
}

std::string_view CurrentFunctionName(const Compiler& c) {
  std::string_view label = c.decl.currentFunctionLabel.view();
  std::size_t at = label.find(kFunctionMark);
  return at == std::string_view::npos ? std::string_view{}
                                      : label.substr(at + kFunctionMark.size());
}

FixedText<32> NumberedName(std::string_view prefix, int number) {
  FixedText<32> name(prefix);
  name.append_number(number);
  return name;
}

}  // namespace stackcc
