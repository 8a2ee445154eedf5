// What the compiler saw each function and local do, for the warnings that are
// decided at the end of the text: which functions call which (recursion), which
// locals are read and which functions are referenced (unused). Nothing is kept
// unless one of those warnings is switched on.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/compiler.h"
#include "io/run_state.h"
#include "io/source_positions.h"
#include "io/tool_options.h"

namespace stackcc {

struct FunctionUse {
  std::string name;
  SourcePosition at;         // the head of its body
  bool defined = false;      // a body was compiled
  bool isPublic = false;     // its head or a prototype says "public"
  bool referenced = false;   // called or taken as a value outside its own body
  bool hasLocals = false;    // a local or parameter of its own
  std::vector<int> callees;  // functions it calls, each once, in the order first seen
};

struct LocalUse {
  int symbol = 0;
  int function = 0;
  SourcePosition at;  // the declaration
  bool read = false;
};

struct UsageState {
  std::vector<FunctionUse> functions;
  std::unordered_map<std::string, int> functionIds;
  std::vector<LocalUse> locals;
  std::unordered_map<int, int> localOfSymbol;  // symbol record -> index in locals
};

inline bool TracksReads(const Compiler& c) {
  return WarningOn(c.run.tools, Warning::kUnused);
}
inline bool TracksUsage(const Compiler& c) {
  return TracksReads(c) || WarningOn(c.run.tools, Warning::kRecursion);
}

// A symbol record has just been made (locals and parameters are noted).
void NoteDeclaredSymbol(Compiler& c, int record, int memberFlag);
// A function head with a body (isBody) or a prototype.
void NoteFunctionHead(Compiler& c, std::string_view name, bool isPublic, bool isBody);
// The expression compiler found symbol s for an operand; assigned: the operand is
// the target of a plain "=" (a store, not a read).
void NoteRead(Compiler& c, int s, bool assigned);
// The expression compiler compiled a call of symbol s in the current function.
void NoteCallOf(Compiler& c, int s);
inline void NoteCall(Compiler& c, int s) {
  if (WarningOn(c.run.tools, Warning::kRecursion)) NoteCallOf(c, s);
}
// At the end of the text: the recursion cycles, the locals never read and the
// functions never used.
void ReportUsage(Compiler& c);

}  // namespace stackcc
