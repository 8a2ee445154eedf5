// The table of mnemonics: each one's opcode and the operands it takes. The
// table is constant.
#include "vm/instruction_set.h"

#include <array>
#include <cstdint>

namespace stackvm {

namespace {

struct Entry {
  std::string_view name;
  Mnemonic mnemonic;
};

constexpr std::array kTable{
    Entry{"push_parameter", {Op::push, Operands::value}},
    Entry{"peek", {Op::peek1, Operands::move}},
    Entry{"poke", {Op::poke1, Operands::move}},
    Entry{"dup", {Op::dup1, Operands::move}},
    Entry{"drop", {Op::drop, Operands::drop}},
    Entry{"CHANGE_SIZE", {Op::change_size, Operands::two_scalar}},
    Entry{"add", {Op::add1, Operands::scalar}},
    Entry{"sub", {Op::sub1, Operands::scalar}},
    Entry{"mul", {Op::mul1, Operands::scalar}},
    Entry{"div", {Op::div1, Operands::scalar}},
    Entry{"mod", {Op::mod1, Operands::scalar}},
    Entry{"and", {Op::and_1, Operands::scalar}},
    Entry{"or", {Op::or_1, Operands::scalar}},
    Entry{"xor", {Op::xor_1, Operands::scalar}},
    Entry{"shift_left", {Op::shift_left1, Operands::scalar}},
    Entry{"shift_right", {Op::shift_right1, Operands::scalar}},
    Entry{"less", {Op::less1, Operands::scalar}},
    Entry{"lessorequal", {Op::lessorequal1, Operands::scalar}},
    Entry{"greater", {Op::greater1, Operands::scalar}},
    Entry{"greaterorequal", {Op::greaterorequal1, Operands::scalar}},
    Entry{"equal", {Op::equal1, Operands::scalar}},
    Entry{"notequal", {Op::notequal1, Operands::scalar}},
    Entry{"logic_and", {Op::logic_and1, Operands::scalar}},
    Entry{"logic_or", {Op::logic_or1, Operands::scalar}},
    Entry{"logic_not", {Op::logic_not1, Operands::scalar}},
    Entry{"goto", {Op::jump, Operands::label}},
    Entry{"goto_true", {Op::jump_true, Operands::label}},
    Entry{"goto_false", {Op::jump_false, Operands::label}},
    Entry{"gosub", {Op::gosub, Operands::none}},
    Entry{"return", {Op::ret, Operands::none}},
    Entry{"null_last_line", {Op::nop, Operands::cancel}},
};

}  // namespace

std::optional<Mnemonic> findMnemonic(std::string_view name) {
  for (const Entry& e : kTable) {
    if (e.name == name) return e.mnemonic;
  }
  return std::nullopt;
}

std::optional<Op> sizedOp(Op base, uint32_t width) {
  int step = width == 1 ? 0 : width == 4 ? 1 : width == 8 ? 2 : -1;
  if (step < 0) return std::nullopt;
  return static_cast<Op>(static_cast<int>(base) + step);
}

}  // namespace stackvm
