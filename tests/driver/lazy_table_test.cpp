#include "driver/lazy_table.h"

#include <gtest/gtest.h>

#include <memory>

#include "driver/fixed_text.h"

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

}  // namespace
}  // namespace stackcc
