// Pass 2: the statement dispatcher, the block stack with its label counters and
// emitters, the control-flow statements and function definitions.
#pragma once

#include <string_view>

#include "driver/fixed_text.h"
#include "driver/source_reader.h"

namespace stackcc {

struct Compiler;

constexpr int kBlockLevels = 20;
constexpr int kSwitchSubjectCapacity = 60;

enum BlockKind : int {
  BlockNone = 0,
  BlockIf = 1,
  BlockWhile = 2,
  BlockFunction = 3,
  BlockDo = 4,
  BlockSwitch = 5,
  BlockElse = 6,
  BlockFor = 7,
};

struct BlockRecord {
  int kind = 0;
  int counter = 0;
};

struct BlockState {
  BlockRecord stack[kBlockLevels];
  int blockLevel = 0;
  int labelNumber = 0;
  int caseCounter[kBlockLevels] = {};
  FixedText<kSwitchSubjectCapacity> switchSubject[kBlockLevels];
};

// Compiles one statement of the reader's text; returns the emit buffer.
std::string_view DispatchStatement(Compiler& c, SourceText text);

int CloseBlock(Compiler& c);
int CompileAsm(Compiler& c);

void EmitControlLabel(Compiler& c, std::string_view name);
void EmitGoto(Compiler& c, std::string_view name);
void EmitGotoTrue(Compiler& c, std::string_view name);
void EmitGotoFalse(Compiler& c, std::string_view name);
void EmitPlainGoto(Compiler& c, std::string_view target);

int CompileFor(Compiler& c);
int CompileIf(Compiler& c);
int CompileElse(Compiler& c);
int CompileWhile(Compiler& c);
int CompileDo(Compiler& c);
int CompileSwitch(Compiler& c);
int CompileCase(Compiler& c);
int CompileReturn(Compiler& c);
int CompileBreak(Compiler& c);
int CompileContinue(Compiler& c);
int CompileDefault(Compiler& c);
int CompileLabel(Compiler& c);
int CompileGoto(Compiler& c);

int CompileFunctionDefinition(Compiler& c);

}  // namespace stackcc
