// A symbol's name reads back as written at every length, whether it stands in
// the record or in a field of its own, through copies and reassignments.
#include "decl/symbol_name.h"

#include <gtest/gtest.h>

#include <string>

namespace stackcc::testing {
namespace {

using Name = SymbolName<80>;

TEST(SymbolName, ReadsBackAtEveryLength) {
  for (std::size_t size : {0u, 1u, 22u, 23u, 24u, 40u, 79u}) {
    std::string text(size, 'n');
    if (size > 0) text.back() = 'z';
    Name name;
    name = text;
    EXPECT_EQ(name.view(), text) << size;
    EXPECT_EQ(name.size(), size);
    EXPECT_EQ(name.empty(), size == 0);
    Name copy(name);
    EXPECT_EQ(copy.view(), text) << size;
  }
}

TEST(SymbolName, LongerThanTheFieldIsCutAsAFullFieldWould) {
  Name name;
  name = std::string(100, 'x');
  EXPECT_EQ(name.view(), std::string(Name::kCapacity, 'x'));
}

// A long name replaced by a short one (and back) leaves nothing of the other.
TEST(SymbolName, ReassignedBetweenShortAndLong) {
  const std::string kLong = "a_name_longer_than_the_record_keeps_itself";
  const char* sequence[] = {"short", kLong.c_str(), "s", kLong.c_str(), "", "tail_of_it"};
  Name name;
  for (const char* text : sequence) {
    name = text;
    EXPECT_EQ(name.view(), text);
    EXPECT_TRUE(name == text);
  }
  Name other;
  other = kLong;
  name = other;
  other = "x";
  EXPECT_EQ(name.view(), kLong);
  EXPECT_EQ(other.view(), "x");
  name = name.view().substr(2, 4);  // a piece of itself, from the long field
  EXPECT_EQ(name.view(), "name");
}

}  // namespace
}  // namespace stackcc::testing
