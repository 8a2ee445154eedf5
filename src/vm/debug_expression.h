// Expressions of the debugger's print, display, watch, condition and x
// commands: names as the language scopes them (the current function's
// locals and parameters, then globals), numbers, members (s.m, p->m),
// subscripts, *p, &x, unary - ! ~, and the binary operators of C from * to
// ||. Values are read from a stopped machine; nothing is written.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "vm/debug_info.h"
#include "vm/machine.h"

namespace stackvm {

// A command's input the debugger cannot act on; the message says why.
struct DebugError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Value {
  TypeInfo type;  // no base: a name known only by its size
  uint32_t size = 0;
  std::optional<uint32_t> address;  // where the object is, when it is one
  int64_t number = 0;               // a scalar's value
  std::vector<uint8_t> bytes;       // the object's bytes

  bool scalar() const;
};

class Evaluator {
 public:
  // `function` is the function whose names come first; empty for globals only.
  Evaluator(const DebugInfo& info, const Machine& machine, std::string function)
      : info_(info), machine_(machine), function_(std::move(function)) {}

  // Throws DebugError for a malformed expression, an unknown name or an
  // address outside the data.
  Value evaluate(const std::string& text) const;
  // The object of a variable.
  Value variable(const VariableInfo& v) const;
  Value object(uint32_t address, const TypeInfo& type, uint32_t size) const;

  const DebugInfo& info() const { return info_; }
  const Machine& machine() const { return machine_; }

 private:
  const DebugInfo& info_;
  const Machine& machine_;
  std::string function_;
};

// The value as gdb's print shows it; format is 0 (natural), 'x', 'd', 'c' or
// 's'.
std::string formatValue(const Value& value, const Evaluator& context, char format = 0);

// "<label>" or "<label+8>" for a data address, empty for others.
std::string symbolAt(const Program& program, uint32_t address);

}  // namespace stackvm
