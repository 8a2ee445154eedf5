// What the debugger knows of a program's names: functions, variables and
// structures, read from <base>.dbg (see docs/output.md), or, without that
// file, what the labels and data sizes tell.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vm/program.h"

namespace stackvm {

// A type as the .dbg file writes it: "int", "char*", "struct node*" and the
// array dimensions. An empty base is a name known only by its size.
struct TypeInfo {
  std::string base;  // "char", "int", "long", "void", "struct TAG", or empty
  uint32_t pointers = 0;
  std::vector<uint32_t> dims;

  bool known() const { return !base.empty(); }
  bool isStruct() const { return base.rfind("struct ", 0) == 0; }
  std::string tag() const { return isStruct() ? base.substr(7) : ""; }
  // The type of an element of the array, or of what the pointer points to.
  TypeInfo element() const;
  std::string text() const;  // as C writes it, "int *", "struct point [3]"
};

struct VariableInfo {
  std::string name;
  std::string scope;  // the function's name, empty for a global
  std::string label;
  TypeInfo type;
  uint32_t size = 0;
  bool parameter = false;
};

struct FunctionInfo {
  std::string name;
  std::string label;
  std::string file;
  uint32_t first = 0;
  uint32_t last = 0;
  TypeInfo result;
  std::vector<std::string> params;  // source names, in order
};

struct MemberInfo {
  std::string name;
  uint32_t offset = 0;
  TypeInfo type;
  uint32_t size = 0;
};

struct StructureInfo {
  std::string tag;
  uint32_t size = 0;
  std::vector<MemberInfo> members;
};

struct DebugInfo {
  bool typed = false;  // read from a .dbg file
  std::vector<FunctionInfo> functions;
  std::vector<VariableInfo> variables;
  std::vector<StructureInfo> structures;

  const FunctionInfo* function(const std::string& name) const;
  const StructureInfo* structure(const std::string& tag) const;
  // A local or parameter of `function`, else a global.
  const VariableInfo* variable(const std::string& name, const std::string& function) const;
  // The size of one object of the type (a pointer is 4 bytes).
  uint32_t sizeOf(const TypeInfo& type) const;
};

// Reads a .dbg file. Throws LoadError ("file:line: message") for a malformed
// line or a version it does not know.
DebugInfo parseDebugInfo(const std::string& text, const std::string& fileName);

// What the labels tell: functions by their entry labels, variables by their
// data labels (locals by their "_func_" suffix), each with the size up to the
// next data label, no types.
DebugInfo debugInfoFromLabels(const Program& program);

}  // namespace stackvm
