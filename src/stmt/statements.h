// Pass 2: the statement dispatcher, the block stack with its label counters and
// emitters, the control-flow statements and function definitions.
#pragma once

#include <string_view>

#include "base/fixed_text.h"
#include "io/output.h"
#include "io/source_reader.h"
#include "scanner/scanner.h"

namespace stackcc {

struct Compiler;

constexpr int kBlockLevels = 20;
// A block may be opened at levels 0 to 18, so that its body (and the level of a
// switch's case labels) is at most 19.
constexpr int kHighestOpeningLevel = kBlockLevels - 2;
constexpr int kSwitchSubjectCapacity = 60;
constexpr int kFunctionNameLimit = 33;       // characters of a function's name
constexpr int kParameterItemCapacity = 240;  // one parameter item and its ";"
constexpr int kParameterItemLimit = kParameterItemCapacity - 1;
constexpr int kHeadTextCapacity = kParenthesisedLimit + 1;

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
  // The name of the function whose body each level's record opened, so that a
  // body never closed can be named at the end of the text.
  FixedText<kFunctionNameLimit + 1> functionName[kBlockLevels];
  FixedText<kSwitchSubjectCapacity> switchSubject[kBlockLevels];
  // False when the switch of that level has no subject to test (its group was
  // missing or too long): its cases then get their labels but no comparison.
  bool switchTestable[kBlockLevels] = {};
  // Blocks opened beyond the deepest level: they are reported, get no record, and
  // their closing braces are absorbed here so that outer blocks still match.
  int overflowDepth = 0;
  // Set while a function header is compiled (its work texts are in use).
  bool inFunctionHeader = false;
  // Work texts: a head's parenthesised group, a function's parameter list and one
  // parameter item, and the code of a function's entry.
  FixedText<kHeadTextCapacity> headText;
  FixedText<kHeadTextCapacity> parameters;
  FixedText<kParameterItemCapacity + 1> parameterItem;
  EmitText accumulator;
};

// Compiles one statement of the reader's text; returns the emit buffer.
std::string_view DispatchStatement(Compiler& c, SourceText text);

int CloseBlock(Compiler& c);
// At the end of the text: reports every block still open, once per open function
// (and once for blocks opened outside any function).
void ReportOpenBlocks(Compiler& c);
// The keyword handlers (CompileAsm, CompileFor ... CompileGoto but CompileLabel)
// are called by the dispatcher once it has matched their keyword, which its
// table holds (decl/opening_words.h spells each word): they begin after it.
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
// The store text of a parameter in a function head: "$" + the parameter with
// its type words and stars blanked, compiled as the store of the argument.
FixedText<120> ParamStoreText(std::string_view param);

}  // namespace stackcc
