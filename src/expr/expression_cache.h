// The code of recently compiled expression statements. Programs say the same
// things again and again ("i = i + 1;", "j < 8"), within a function and from
// one function to the next. The code of such a statement is a function of its
// text and of what its names look up to, so a repeated statement is given the
// code it got the last time when every name it looked up finds a record of the
// same shape again, and every member the same offset. A local's record name
// ends in its function's label; carried into another function (of a label as
// long), the code gets the new label wherever the old one ended a name.
// Only statements that compiled without any report, and whose compiling
// changed nothing outside the expression compiler (no string literals, no
// declarations), are kept.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "decl/tables.h"
#include "driver/fixed_text.h"
#include "driver/lazy_table.h"
#include "expr/statement_shape.h"

namespace stackcc {

constexpr int kCachedExpressions = 96;
constexpr int kCachedTextCapacity = kShapeCapacity;
// Statement code is mostly below 256 bytes; a statement with more is compiled
// every time instead of kept.
constexpr int kCachedCodeCapacity = 512;

// The fields a look-up reads on every statement come first, the code (read
// only on a hit) last, so a look-up touches few lines of a large entry.
struct CachedExpression {
  // The code is known to be right under this generation of the tables and this
  // function label, without looking anything up again.
  int generation = -1;
  int dropSize = 0;
  int labelCount = 0;
  int numberCount = 0;
  bool movable = false;
  // Given out since the hand of the replacement last passed it.
  bool used = false;
  unsigned hash = 0;  // of the text
  FixedText<kFunctionLabelCapacity> label;
  FixedText<kCachedTextCapacity> text;
  LookupJournal lookups;
  // Where the label ends a line of the code (a local's name), found when the
  // entry is made; an entry with more of them than kept stays in its function.
  static constexpr int kLabelPlaces = 24;
  std::array<std::uint16_t, kLabelPlaces> labelAt{};
  // Where the stand-ins of the statement's numbers stand in the code, in order.
  struct NumberPlace {
    std::uint16_t at = 0;
    std::uint8_t rank = 0;
  };
  static constexpr int kNumberPlaces = 32;
  using NumberPlaces = std::array<NumberPlace, kNumberPlaces>;
  NumberPlaces numberAt{};
  FixedText<kCachedCodeCapacity> code;  // the instruction lines before the drop
};

// The answers of names checked again for statements moved into the current
// function under the current tables: the statements of one function ask
// about the same few names, and each is checked once. A verdict holds for the
// record found then (at its revision), the name asked (the first bytes of that
// record's name) and the function the statement was moved from.
struct CheckedAnswers {
  struct Verdict {
    int epoch = -1;
    int was = -1;
    int revision = 0;
    std::size_t askedSize = 0;
    FixedText<kFunctionLabelCapacity> from;
    int found = -1;
    bool again = false;
  };
  static constexpr unsigned kVerdicts = 64;
  std::array<Verdict, kVerdicts> verdicts{};
  // Verdicts of other epochs are void; the epoch moves on with the tables'
  // generation and the function.
  int epoch = 0;
  int generation = -1;
  FixedText<kFunctionLabelCapacity> label;
};

class ExpressionCache {
 public:
  // The entry holding the code text compiles to now, or nullptr. An entry made
  // under other tables or in another function is checked again (and carried
  // over) first.
  const CachedExpression* Find(Compiler& c, std::string_view text);
  // Keeps text's code, compiled from the tables' generation generationBefore
  // with the lookups written down. Ignored when compiling changed the tables,
  // when a lookup was not written down, or a text is too long to keep.
  // text is a statement's shape with numbers stand-ins, code its code. Gives
  // the entry made, or nullptr.
  const CachedExpression* Store(const Compiler& c, std::string_view text, int numbers,
                                std::string_view code, int dropSize, int generationBefore,
                                const LookupJournal& lookups);
  // Drops the entry of text, if there is one.
  void Forget(std::string_view text);

 private:
  struct Slot {
    unsigned hash = 0;
    int entry = -1;
  };
  // Each text has two slots to be found in (its hash's and the neighbour), so
  // two statements of one slot can both be kept.
  static constexpr unsigned kSlots = 512;
  Slot* SlotOf(unsigned hash, std::string_view text);
  // The slot a new text is kept in: a free one of its two, else the one whose
  // entry was not given out lately.
  Slot* FreeSlot(unsigned hash);
  // The entry the next statement is kept in.
  int TakeEntry();

  std::array<Slot, kSlots> slots_{};
  CheckedAnswers checked_;
  // Entries are handed out round robin, so only as many are built as are used;
  // an entry given out since the hand last passed it is passed over once, so
  // statements that come back outlive those met only once. Every entry is a
  // page of memory or so to fault in: the table is kept small.
  LazyTable<CachedExpression, kCachedExpressions> entries_;
  int nextEntry_ = 0;
};

}  // namespace stackcc
