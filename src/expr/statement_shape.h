// The shape of an expression statement: its text with every number standing
// alone replaced by a stand-in of its rank ("9" and ten digits, a value no
// size or offset reaches). The code of a statement does not depend on the
// values of its numbers, only on where they stand: each is pushed as written.
// So statements of one shape share their code, the stand-ins replaced by the
// numbers of each.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "driver/fixed_text.h"

namespace stackcc {

constexpr int kShapeNumbers = 16;
constexpr std::size_t kStandInLength = 11;
constexpr int kShapeCapacity = 128;

using ShapeText = FixedText<kShapeCapacity>;

struct StatementShape {
  // The numbers of the text, in order.
  struct Number {
    std::uint16_t at = 0;
    std::uint16_t length = 0;
  };
  std::array<Number, kShapeNumbers> numbers{};
  int count = 0;

  std::string_view NumberOf(std::string_view text, int rank) const {
    return text.substr(numbers[rank].at, numbers[rank].length);
  }
};

// Writes text's shape; false when it has more numbers than kept, a run of
// digits as long as a stand-in, or a shape that does not fit (the statement
// then has no shape to share). A number is a run of digits with no name
// character on either side and no '+' before it.
bool ShapeOf(std::string_view text, StatementShape& shape, ShapeText& out);

// The rank of the stand-in just before end in code (a line's last operand,
// after a blank or a minus), -1 when there is none.
int StandInBefore(std::string_view code, std::size_t end, int count);

}  // namespace stackcc
