// The name field of a symbol record. Names run up to 79 bytes, but those of
// real programs are short ("r_func_main", "Sensor_ST_flags"), so a short name
// stands in the record itself and only a longer one gets a field of full width
// of its own. The symbol table is the largest table a program fills: a record
// of 104 bytes instead of 152 is a third less memory to touch.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "base/fixed_text.h"

namespace stackcc {

template <std::size_t kFullCapacity>
class SymbolName {
 public:
  // The longest name kept in the record itself.
  static constexpr std::size_t kShortCapacity = 23;
  static constexpr std::size_t kCapacity = kFullCapacity - 1;

  SymbolName() = default;
  SymbolName(const SymbolName& other) { *this = other.view(); }
  SymbolName& operator=(const SymbolName& other) {
    if (this != &other) *this = other.view();
    return *this;
  }
  // Cut to kCapacity bytes, as a full-width field would.
  SymbolName& operator=(std::string_view text) {
    if (text.size() <= kShortCapacity) {
      short_.assign(text);
      long_.reset();  // after the copy: text may be a piece of the long name
    } else {
      short_.clear();
      if (!long_) long_ = std::make_unique<FixedText<kFullCapacity>>();
      long_->assign(text);
    }
    return *this;
  }

  std::string_view view() const { return long_ ? long_->view() : short_.view(); }
  std::size_t size() const { return view().size(); }
  bool empty() const { return size() == 0; }
  bool operator==(std::string_view text) const { return view() == text; }

 private:
  FixedText<kShortCapacity + 1> short_;
  std::unique_ptr<FixedText<kFullCapacity>> long_;
};

}  // namespace stackcc
