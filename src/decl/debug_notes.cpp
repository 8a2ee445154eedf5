#include "decl/debug_notes.h"

#include <algorithm>

#include "base/compiler.h"
#include "base/text_helpers.h"
#include "decl/tables.h"
#include "io/run_state.h"
#include "io/source_positions.h"

namespace stackcc {

namespace {

// The number of parameters a head declared: the count stored on the function's
// record, or for a list ending in "..." the items before it.
int ParameterCount(const DeclState& d, std::string_view name, std::string_view list) {
  int record = d.symbolIndex.Find(d.symbols, name, {}, SymbolIndex::StoredKeyHash(name));
  if (record > 0 && d.symbols[record].paramCount >= 0) return d.symbols[record].paramCount;
  int count = 0;
  for (std::size_t start = 0; start <= list.size();) {
    std::size_t comma = std::min(list.find(',', start), list.size());
    std::string_view item = list.substr(start, comma - start);
    if (item.starts_with("...")) break;
    if (!TrimSpaces(item).empty()) ++count;
    start = comma + 1;
  }
  return count;
}

// The last count locals of the function declared so far, in their order: the
// head declares its parameters after everything else of the function.
std::vector<int> LastLocals(const DeclState& d, std::string_view name, int count) {
  std::vector<int> found;
  for (int i = d.symbolCount; i > 0 && static_cast<int>(found.size()) < count; --i) {
    std::string_view stored = d.symbols[i].name.view();
    std::size_t suffix = kFunctionMark.size() + name.size();
    if (stored.size() > suffix && stored.ends_with(name) &&
        stored.substr(stored.size() - suffix, kFunctionMark.size()) == kFunctionMark) {
      found.push_back(i);
    }
  }
  std::reverse(found.begin(), found.end());
  return found;
}

}  // namespace

void NoteFunctionHead(Compiler& c, std::string_view name, std::string_view returnType,
                      std::string_view parameterList) {
  if (!c.run.tools.debugInfo) return;
  DebugNotes& notes = c.decl.debugNotes;
  FunctionNote note;
  note.name.assign(name);
  note.returnType.assign(returnType);
  SourcePosition at = CurrentPosition(c);
  note.file.assign(at.file);
  note.firstLine = note.lastLine = at.line;
  note.parameters = LastLocals(c.decl, name, ParameterCount(c.decl, name, parameterList));
  notes.functions.push_back(std::move(note));
  notes.open = static_cast<int>(notes.functions.size()) - 1;
}

void NoteFunctionEnd(Compiler& c) {
  DebugNotes& notes = c.decl.debugNotes;
  if (!c.run.tools.debugInfo || notes.open < 0) return;
  FunctionNote& note = notes.functions[static_cast<std::size_t>(notes.open)];
  SourcePosition at = CurrentPosition(c);
  if (at.file == note.file.view() && at.line >= note.firstLine) note.lastLine = at.line;
  notes.open = -1;
}

}  // namespace stackcc
