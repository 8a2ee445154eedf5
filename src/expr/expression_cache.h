// The code of recently compiled expression statements. A function body says
// the same things again and again ("i = i + 1;", "j < 8"); the code of such a
// statement is a function of its text, the current function's label and the
// symbol, member and dimension tables, so while none of those has changed a
// repeated statement is given the code it got the last time instead of being
// compiled again. Only statements that compiled without any report, and whose
// compiling changed nothing outside the expression compiler (no string
// literals), are kept.
#pragma once

#include <array>
#include <string_view>

#include "decl/tables.h"
#include "driver/fixed_text.h"
#include "driver/lazy_table.h"

namespace stackcc {

constexpr int kCachedExpressions = 256;
constexpr int kCachedTextCapacity = 128;
constexpr int kCachedCodeCapacity = 1024;

struct CachedExpression {
  unsigned epoch = 0;
  FixedText<kCachedTextCapacity> text;
  FixedText<kCachedCodeCapacity> code;  // the instruction lines before the drop
  int dropSize = 0;
};

class ExpressionCache {
 public:
  // The entry holding text's code, or nullptr. declGeneration and label are the
  // tables' generation and the current function's label.
  const CachedExpression* Find(std::string_view text, int declGeneration, std::string_view label);
  // Keeps text's code, compiled under the tables' generation declGeneration
  // (ignored when the tables have changed since Find, or a text is too long).
  void Store(std::string_view text, std::string_view code, int dropSize, int declGeneration);

 private:
  struct Slot {
    unsigned epoch = 0;
    unsigned hash = 0;
    int entry = 0;
  };
  static constexpr unsigned kSlots = 512;
  // Entries of an older epoch are dead: the epoch moves on whenever the tables
  // or the label differ from those the entries were compiled under.
  void Revalidate(int declGeneration, std::string_view label);

  unsigned epoch_ = 1;
  int generation_ = -1;
  FixedText<kFunctionLabelCapacity> label_;
  std::array<Slot, kSlots> slots_{};
  // Entries are handed out round robin, so only as many are built as are used.
  LazyTable<CachedExpression, kCachedExpressions> entries_;
  int nextEntry_ = 0;
};

}  // namespace stackcc
