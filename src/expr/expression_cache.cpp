#include "expr/expression_cache.h"

#include "driver/text_helpers.h"

namespace stackcc {

void ExpressionCache::Revalidate(int declGeneration, std::string_view label) {
  if (declGeneration == generation_ && label == label_.view()) return;
  ++epoch_;
  generation_ = declGeneration;
  label_.assign(label);
}

const CachedExpression* ExpressionCache::Find(std::string_view text, int declGeneration,
                                              std::string_view label) {
  Revalidate(declGeneration, label);
  unsigned hash = HashBytes(text);
  const Slot& slot = slots_[hash % kSlots];
  if (slot.epoch != epoch_ || slot.hash != hash) return nullptr;
  const CachedExpression& entry = entries_[static_cast<std::size_t>(slot.entry)];
  if (entry.epoch != epoch_ || entry.text.view() != text) return nullptr;
  return &entry;
}

void ExpressionCache::Store(std::string_view text, std::string_view code, int dropSize,
                            int declGeneration) {
  if (declGeneration != generation_ || text.size() > decltype(CachedExpression::text)::kCapacity ||
      code.size() > decltype(CachedExpression::code)::kCapacity) {
    return;
  }
  unsigned hash = HashBytes(text);
  int index = nextEntry_;
  nextEntry_ = (nextEntry_ + 1) % kCachedExpressions;
  CachedExpression& entry = entries_[static_cast<std::size_t>(index)];
  entry.epoch = epoch_;
  entry.text.assign(text);
  entry.code.assign(code);
  entry.dropSize = dropSize;
  slots_[hash % kSlots] = {epoch_, hash, index};
}

}  // namespace stackcc
