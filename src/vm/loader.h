// Turns the four files the compiler writes into a Program: one instruction
// array with every operand resolved, and the data image.
#pragma once

#include <array>
#include <ostream>
#include <string>

#include "vm/host_prototypes.h"
#include "vm/program.h"

namespace stackvm {

struct CodeFiles {
  std::string base;                  // file names are base + ".001" ... ".004"
  std::array<std::string, 4> texts;  // the bytes of .001 (code) and .002-.004 (data)
};

// Throws LoadError naming the file and line of the first fault; writes
// warnings ("file:line: warning: ...") to `warnings`.
Program loadProgram(const CodeFiles& files, const Prototypes& prototypes, std::ostream& warnings);

// "file:line" of an instruction: its source position when markers gave one,
// else its line in the code file.
std::string describePosition(const Program& program, uint32_t index);

}  // namespace stackvm
