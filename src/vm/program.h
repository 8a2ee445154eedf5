// The loaded program: one instruction array with resolved operands, the data
// image, and what diagnostics need to name positions.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "vm/addresses.h"
#include "vm/opcodes.h"

namespace stackvm {

struct Instruction {
  Op op;
  uint32_t a = 0;  // width, value, jump target or first width
  uint32_t b = 0;  // second width of CHANGE_SIZE
};

// Where an instruction came from: a source position from LINE markers (file
// index into Program::sourceFiles, 0 when there is none) and its line in the
// code file.
struct Position {
  uint32_t file = 0;
  uint32_t line = 0;
  uint32_t codeLine = 0;
};

// A routine implemented by the host: a built-in or a device routine.
struct HostRoutine {
  std::string name;
  std::vector<uint32_t> params;  // widths, first parameter first
  uint32_t result = 0;           // width, 0 for void
  int builtin = -1;              // index into the built-in table, -1 for a device
};

struct Function {
  std::string name;
  uint32_t entry = 0;
};

struct Program {
  std::vector<Instruction> code;  // ends with the past-the-end and halt entries
  std::vector<Position> positions;
  std::vector<std::string> text;  // each instruction as written, for traces
  std::vector<std::string> sourceFiles{""};
  std::string codeFileName;
  std::vector<uint8_t> data;                             // laid out from kDataBase
  std::unordered_map<std::string, uint32_t> dataLabels;  // name -> address
  std::vector<HostRoutine> hosts;
  std::vector<Function> functions;
  std::vector<uint32_t> functionAt;  // per instruction: function id + 1 of an entry, else 0
  uint32_t mainEntry = 0;

  uint32_t instructionCount() const { return static_cast<uint32_t>(code.size()) - 2; }
  uint32_t pastEnd() const { return instructionCount(); }
  uint32_t halt() const { return instructionCount() + 1; }
};

}  // namespace stackvm
