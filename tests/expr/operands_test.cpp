// Operands: numbers, names in scope, names that are not found, members.
#include "expr_test_util.h"

namespace stackcc::testing {
namespace {

TEST_F(ExprTest, NumbersArePushedAsWritten) {
  EXPECT_EQ(Compile("10"), Lines("push_parameter 10|drop 4"));
  EXPECT_EQ(Compile("0x1F"), Lines("push_parameter 0x1F|drop 4"));
  EXPECT_EQ(Compile("007"), Lines("push_parameter 007|drop 4"));
  EXPECT_EQ(Compile("-5"), Lines("push_parameter -5|drop 4"));
  EXPECT_EQ(Compile("-0"), Lines("push_parameter -0|drop 4"));
  EXPECT_EQ(Compile("NULL"), Lines("push_parameter 0|drop 4"));
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(ExprTest, LocalHidesGlobal) {
  Int("x");
  Char("x_func_f");
  EXPECT_EQ(Compile("x"), Lines("push_parameter x|peek 4|drop 4"));
  EnterFunction("f");
  EXPECT_EQ(Compile("x"), Lines("push_parameter x_func_f|peek 1|drop 1"));
  EnterFunction("g");
  EXPECT_EQ(Compile("x"), Lines("push_parameter x|peek 4|drop 4"));
}

TEST_F(ExprTest, KindsDecideTheLoad) {
  Pointer("p", 1);
  Array("a", 4, "[4]");
  Function("f", 4, 0);
  EXPECT_EQ(Compile("p"), Lines("push_parameter p|peek 4|drop 4"));
  EXPECT_EQ(Compile("a"), Lines("push_parameter a|drop 4"));
  EXPECT_EQ(Compile("f"), Lines("push_parameter f|drop 4"));
}

TEST_F(ExprTest, NameNotFoundIsPushedAsWritten) {
  Int("x");
  EXPECT_EQ(Compile("y + 1"), Lines("push_parameter y|push_parameter 1|add 4|drop 4"));
  EXPECT_TRUE(Reported("Variable not found", "y"));
  // A sign before a name is part of the name.
  EXPECT_EQ(Compile("x = -x"), Lines("push_parameter -x|dup 4|push_parameter x|peek 4|"
                                     "null_last_line|poke 4|drop 4"));
  EXPECT_TRUE(Reported("Variable not found", "-x"));
  // It is a plain value: dereferencing it is reported too, and nothing below
  // level 0 is read.
  EXPECT_EQ(Compile("*z"), Lines("push_parameter z|drop 4"));
  EXPECT_TRUE(Reported("Not a pointer", "z"));
}

TEST_F(ExprTest, SourceAtSignsAreNoReferences) {
  Int("v");
  EXPECT_EQ(Compile("v = q@2"), Lines("push_parameter q@2|dup 4|push_parameter v|peek 4|"
                                      "null_last_line|poke 4|drop 4"));
  EXPECT_EQ(Compile("v = @0"), Lines("push_parameter @0|dup 4|push_parameter v|peek 4|"
                                     "null_last_line|poke 4|drop 4"));
  EXPECT_EQ(ReportCount(), 2);
}

class MemberTest : public ExprTest {
 protected:
  void SetUp() override {
    // struct T { int y; char z; };
    Member("T", "y", 4, 4);
    Member("T", "z", 1, 1);
    // struct S { int a; struct T t; int arr[3]; struct T *pt; };
    c().decl.structOffset = 0;
    Member("S", "a", 4, 4);
    Member("S", "t", 5, 5, SymScalar, "T");
    Member("S", "arr", 4, 12, SymArray);
    RecordDimensions(c(), "S_ST_arr", "[3]");
    Member("S", "pt", 5, 4, SymPointer, "T");
    Declare("s", 25, SymScalar, 1, "S");
    Declare("ps", 25, SymPointer, 2, "S");
    Declare("v", 5, SymArray, 1, "T");
    RecordDimensions(c(), "v", "[2]");
  }
};

TEST_F(MemberTest, DotCancelsTheOwnersLoadArrowKeepsIt) {
  EXPECT_EQ(
      Compile("s.a"),
      Lines("push_parameter s|peek 25|null_last_line|push_parameter 0|add 4||peek 4||drop 4"));
  EXPECT_EQ(Compile("ps->a"),
            Lines("push_parameter ps|peek 4|push_parameter 0|add 4||peek 4||drop 4"));
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(MemberTest, ChainsFindEachMembersOwnTag) {
  EXPECT_EQ(Compile("s.t.z"),
            Lines("push_parameter s|peek 25|null_last_line|push_parameter 4|add 4||peek 5||"
                  "null_last_line|push_parameter 4|add 4||peek 1||drop 1"));
  EXPECT_EQ(Compile("ps->t.y"),
            Lines("push_parameter ps|peek 4|push_parameter 4|add 4||peek 5||null_last_line|"
                  "push_parameter 0|add 4||peek 4||drop 4"));
  EXPECT_EQ(Compile("s.pt->z"),
            Lines("push_parameter s|peek 25|null_last_line|push_parameter 21|add 4||peek 4||"
                  "push_parameter 4|add 4||peek 1||drop 1"));
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(MemberTest, ArrayMembersAndArraysOfStructures) {
  EXPECT_EQ(Compile("s.arr[1]"),
            Lines("push_parameter s|peek 25|null_last_line|push_parameter 9|add 4||"
                  "push_parameter 1|push_parameter 4|mul 4|add 4|peek 4||drop 4"));
  EXPECT_EQ(Compile("v[1].z"),
            Lines("push_parameter v|push_parameter 1|push_parameter 5|mul 4|add 4|peek 5|"
                  "null_last_line|push_parameter 4|add 4||peek 1||drop 1"));
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(MemberTest, MemberNamedLikeItsTag) {
  c().decl.structOffset = 0;
  Member("P", "Px", 4, 4);
  Declare("pt", 4, SymScalar, 1, "P");
  EXPECT_EQ(
      Compile("pt.Px"),
      Lines("push_parameter pt|peek 4|null_last_line|push_parameter 0|add 4||peek 4||drop 4"));
  EXPECT_EQ(ReportCount(), 0);
}

TEST_F(MemberTest, UnknownMemberIsReported) {
  EXPECT_EQ(Compile("s.w"),
            Lines("push_parameter s|peek 25|null_last_line|push_parameter w||drop 4"));
  EXPECT_TRUE(Reported("Struct indefined", ""));
  EXPECT_TRUE(Reported("Variable not found", "S_ST_w"));
}

}  // namespace
}  // namespace stackcc::testing
