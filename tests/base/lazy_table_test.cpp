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

// A taken table builds only on Take; a read goes to the record as it stands,
// and the checked builds stop a read of a record never taken.
TEST(TakenTable, TakeBuildsAndReadsSeeTheTakenRecords) {
  long before = Owner::Counter().use_count();
  {
    auto table = std::make_unique<TakenTable<Record, 50>>();
    EXPECT_EQ(table->Built(), 0u);
    table->Take(4).value = 40;
    EXPECT_EQ(table->Built(), 5u);
    EXPECT_EQ((*table)[4].value, 40);
    EXPECT_EQ((*table)[0].value, 7);  // built on the way, initialised
    (*table)[2].name = "two";
    EXPECT_EQ(table->Take(2).name.view(), "two");  // taking again keeps it
    EXPECT_EQ(table->Built(), 5u);
    auto owners = std::make_unique<TakenTable<Owner, 10>>();
    owners->Take(1);
    EXPECT_EQ(Owner::Counter().use_count(), before + 2);
  }
  EXPECT_EQ(Owner::Counter().use_count(), before);
}

#ifdef STACKCC_CHECKED_TABLES
TEST(TakenTableDeathTest, ReadingARecordNeverTakenStops) {
  auto table = std::make_unique<TakenTable<Record, 50>>();
  table->Take(1);
  EXPECT_DEATH((void)(*table)[2].value, "read before it was built");
}
#endif

}  // namespace
}  // namespace stackcc
