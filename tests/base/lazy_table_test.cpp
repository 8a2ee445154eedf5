#include "base/lazy_table.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/fixed_text.h"

namespace stackcc {
namespace {

struct Record {
  FixedText<16> name;
  int value = 7;
};

TEST(LazyTable, RecordsComeIntoBeingInitialisedAndKeepTheirValues) {
  auto table = std::make_unique<LazyTable<Record, 100>>();
  EXPECT_EQ((*table)[42].value, 7);  // built together with every record below it
  EXPECT_TRUE((*table)[42].name.empty());
  (*table)[3].name = "three";
  (*table)[3].value = 3;
  EXPECT_EQ((*table)[60].value, 7);
  EXPECT_EQ((*table)[3].name.view(), "three");
  EXPECT_EQ((*table)[3].value, 3);
  const auto& view = *table;
  EXPECT_EQ(view[99].value, 7);
  EXPECT_EQ((LazyTable<Record, 100>::size()), 100u);
}

// Records that own something: exactly the built ones are destroyed, once each.
struct Owner {
  std::shared_ptr<int> held;
  Owner() : held(Counter()) {}
  static std::shared_ptr<int>& Counter() {
    static std::shared_ptr<int> counter = std::make_shared<int>(0);
    return counter;
  }
};

TEST(LazyTable, OnlyBuiltRecordsAreDestroyed) {
  long before = Owner::Counter().use_count();
  {
    auto table = std::make_unique<LazyTable<Owner, 20>>();
    EXPECT_EQ(table->Built(), 0u);
    (*table)[2];
    EXPECT_EQ(table->Built(), 3u);
    EXPECT_EQ(Owner::Counter().use_count(), before + 3);
  }
  EXPECT_EQ(Owner::Counter().use_count(), before);
}

}  // namespace
}  // namespace stackcc
