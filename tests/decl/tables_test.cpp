#include "decl/tables.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "decl_test_util.h"

namespace stackcc {
namespace {

using testing::ReportCount;
using testing::Reported;
using testing::TestCompiler;

void Declare(Compiler& c, std::string_view name, int elemSize, int kind = SymScalar,
             std::string_view typeName = {}, int memberFlag = 0, int totalSize = -1,
             int paramCount = -1) {
  NameBuffer n(name);
  DeclareSymbol(c, n, elemSize, kind, kind == SymArray ? 1 : 0, 1,
                totalSize < 0 ? elemSize : totalSize, typeName, memberFlag, paramCount);
}

// "v12" and the like (built without std::string arithmetic, which GCC 12 warns on).
FixedText<32> Numbered(std::string_view prefix, int i) {
  FixedText<32> t(prefix);
  t.append_number(i);
  return t;
}

TEST(SymbolTable, FirstSymbolIsRecordOneAndEmptyNameIsRecordZero) {
  TestCompiler t;
  Declare(t.c(), "x", 4);
  EXPECT_EQ(t->decl.symbolCount, 1);
  EXPECT_EQ(FindSymbol(t.c(), "x"), 1);
  EXPECT_EQ(FindSymbol(t.c(), ""), 0);
  EXPECT_EQ(SymbolExists(t.c(), ""), 1);
  const SymbolRecord& r = t->decl.symbols[1];
  EXPECT_EQ(r.sizes[0], 4);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(r.sizes[k], 4);
  for (int k = 5; k <= 8; ++k) EXPECT_EQ(r.sizes[k], 0);
  EXPECT_EQ(r.paramCount, -1);
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
}

TEST(SymbolTable, UnknownNameReportsAndGivesRecordZero) {
  TestCompiler t;
  EXPECT_EQ(FindSymbol(t.c(), "nope"), 0);
  EXPECT_EQ(SymbolElementSize(t.c(), "gone_func_main"), 0);
  EXPECT_EQ(SymbolExists(t.c(), "nope"), 0);
  std::string out = t.ConsoleText();
  EXPECT_EQ(ReportCount(out), 2);
  EXPECT_TRUE(Reported(out, "Variable not found", "nope"));
  EXPECT_TRUE(Reported(out, "Variable not found", "gone"));  // shown without its label
}

TEST(SymbolTable, LocalHidesGlobalInsideItsFunctionOnly) {
  TestCompiler t;
  Compiler& c = t.c();
  Declare(c, "x", 4);
  c.decl.currentFunctionLabel = "_func_f";
  Declare(c, "x_func_f", 1);
  EXPECT_EQ(c.decl.symbolCount, 2);
  EXPECT_EQ(FindSymbol(c, "x"), 2);
  EXPECT_EQ(SymbolElementSize(c, "x"), 1);
  c.decl.currentFunctionLabel = "_func_g";
  EXPECT_EQ(FindSymbol(c, "x"), 1);         // the global is visible everywhere
  EXPECT_EQ(FindSymbol(c, "x_func_f"), 2);  // another function's local by full name
  c.decl.currentFunctionLabel.clear();
  EXPECT_EQ(FindSymbol(c, "x"), 1);
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
}

TEST(SymbolTable, RedeclaringScalarReports102ArrayIsSilent) {
  TestCompiler t;
  Compiler& c = t.c();
  Declare(c, "x", 4);
  Declare(c, "x", 4);
  Declare(c, "a", 4, SymArray);
  Declare(c, "a", 4, SymArray);
  EXPECT_EQ(c.decl.symbolCount, 2);
  std::string out = t.ConsoleText();
  EXPECT_EQ(ReportCount(out), 1);
  EXPECT_TRUE(Reported(out, "Variable already defined", "x"));
}

TEST(SymbolTable, RedeclaredLocalIsCutToItsBareName) {
  TestCompiler t;
  Compiler& c = t.c();
  c.decl.currentFunctionLabel = "_func_main";
  Declare(c, "n_func_main", 4);
  NameBuffer again("n_func_main");
  DeclareSymbol(c, again, 4, SymScalar, 0, 1, 4, "", 0, -1);
  EXPECT_EQ(again.view(), "n");  // the report cut the caller's text
  EXPECT_TRUE(Reported(t.ConsoleText(), "Variable already defined", "n"));
}

TEST(SymbolTable, ParamCountMinusTwoLeavesZero) {
  TestCompiler t;
  Declare(t.c(), "f", 4, SymFunction, "", 0, 4, -2);
  EXPECT_EQ(t->decl.symbols[1].paramCount, 0);
}

TEST(SymbolTable, SetParamCountChecksKnownCounts) {
  TestCompiler t;
  Compiler& c = t.c();
  Declare(c, "f", 4, SymFunction, "", 0, 4, 2);
  Declare(c, "g", 4, SymFunction, "", 0, 4, -1);
  SetParamCount(c, "f", 2);
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
  SetParamCount(c, "f", 3);  // differs from a known count: reported, stored
  EXPECT_EQ(c.decl.symbols[1].paramCount, 3);
  SetParamCount(c, "g", 5);  // unknown before: stored silently
  EXPECT_EQ(c.decl.symbols[2].paramCount, 5);
  c.decl.currentFunctionLabel = "_func_f";
  SetParamCount(c, "h", 1);  // exact search only
  std::string out = t.ConsoleText();
  EXPECT_EQ(ReportCount(out), 2);
  EXPECT_TRUE(Reported(out, "Different number of parameters", "f"));
  EXPECT_TRUE(Reported(out, "Variable not found", "h"));
}

// One step of a lookup sequence: set the current function's label, declare a
// name, or look a name up and expect its record (0 with a report when absent).
struct LookupStep {
  enum Kind { kLabel, kDeclare, kFind } kind;
  std::string text;
  int record = 0;  // for kFind; for kDeclare the element size
};

struct LookupCase {
  const char* what;
  std::vector<LookupStep> steps;
};

// Each find goes through all three lookups, so a cached answer is checked
// against the table as it stands at that step.
void RunSteps(const LookupCase& k) {
  TestCompiler t;
  Compiler& c = t.c();
  int step = 0;
  for (const LookupStep& s : k.steps) {
    ++step;
    if (s.kind == LookupStep::kLabel) {
      c.decl.currentFunctionLabel = s.text;
    } else if (s.kind == LookupStep::kDeclare) {
      Declare(c, s.text, s.record);
    } else {
      int size = s.record > 0 ? c.decl.symbols[s.record].sizes[0] : 0;
      EXPECT_EQ(SymbolExists(c, s.text), s.record > 0 || s.text.empty() ? 1 : 0)
          << k.what << " step " << step;
      EXPECT_EQ(SymbolElementSize(c, s.text), size) << k.what << " step " << step;
      EXPECT_EQ(FindSymbol(c, s.text), s.record) << k.what << " step " << step;
    }
  }
}

LookupStep Label(std::string_view l) {
  return {LookupStep::kLabel, std::string(l)};
}
LookupStep Decl(std::string_view n, int size) {
  return {LookupStep::kDeclare, std::string(n), size};
}
LookupStep Find(std::string_view n, int record) {
  return {LookupStep::kFind, std::string(n), record};
}

TEST(SymbolLookup, AnswersFollowTheTableAndTheCurrentFunction) {
  const std::string long79(79, 'q');
  const std::string local72 = std::string(72, 'r');
  const LookupCase cases[] = {
      {"a local declared after the global was looked up hides it",
       {Decl("x", 4), Label("_func_f"), Find("x", 1), Find("x", 1), Decl("x_func_f", 1),
        Find("x", 2), Label("_func_g"), Find("x", 1), Decl("x_func_g", 2), Find("x", 3),
        Label("_func_f"), Find("x", 2), Label(""), Find("x", 1), Find("x_func_g", 3)}},
      {"labels that are prefixes of each other",
       {Decl("v", 4), Decl("v_func_f", 1), Decl("v_func_ff", 2), Label("_func_f"), Find("v", 2),
        Label("_func_ff"), Find("v", 3), Label("_func_fff"), Find("v", 1), Label("_func_f"),
        Find("v", 2)}},
      {"a name missing at first is found once declared",
       {Label("_func_main"), Find("later", 0), Find("later", 0), Decl("later", 4), Find("later", 1),
        Decl("soon_func_main", 1), Find("soon", 2)}},
      {"names that differ only in their last character",
       {Decl("count1", 1), Decl("count2", 2), Decl("count3", 4), Decl("countA", 8),
        Find("count2", 2), Find("count1", 1), Find("countA", 4), Find("count3", 3),
        Find("count4", 0), Find("count", 0), Find("count11", 0)}},
      {"names sharing length, first and last byte take turns",
       {Decl("axb", 1), Decl("ayb", 2), Decl("azb", 4), Find("axb", 1), Find("ayb", 2),
        Find("axb", 1), Find("azb", 3), Find("awb", 0), Find("ayb", 2)}},
      {"a global whose name ends like a local of function b",
       {Decl("a_func_b", 4), Find("a_func_b", 1), Find("a", 0), Label("_func_b"), Find("a", 1),
        Find("a_func_b", 1), Label("_func_c"), Find("a", 0), Find("a_func_b", 1), Label(""),
        Find("a", 0)}},
      {"the label joins the name whole, never a part of it",
       {Decl("x_func_f0", 4), Label("_func_f"), Find("x", 0), Find("x0", 0), Find("x_func_f0", 1),
        Label("_func_f0"), Find("x", 1), Label("_func_"), Find("xf0", 0), Find("x", 0)}},
      {"the empty name is record 0 in and out of functions",
       {Decl("x", 4), Find("", 0), Label("_func_f"), Find("", 0), Decl("y_func_f", 4),
        Find("", 0)}},
      {"a 79-character name is answered like any other",
       {Decl(long79, 2), Find(long79, 1), Label("_func_f"), Find(long79, 1), Find(long79, 1),
        Find(long79 + "q", 0), Find(long79, 1)}},
      {"a local whose scoped form uses the whole name field",
       {Label("_func_f"), Decl(local72 + "_func_f", 8), Find(local72, 1), Find(local72, 1),
        Label(""), Find(local72, 0), Find(local72 + "_func_f", 1)}},
  };
  for (const LookupCase& k : cases) RunSteps(k);
}

// Longer names are never stored; their lookups must not be answered from a
// shorter name's cached entry (nor give one to it). 64 bytes more puts the
// long name on the same cache entry as its 79-byte prefix.
TEST(SymbolLookup, OverlongNamesAreNeverConfusedWithTheirPrefix) {
  const std::string prefix(79, 'p');
  for (std::size_t extra : {1u, 2u, 21u, 64u}) {
    TestCompiler t;
    Compiler& c = t.c();
    Declare(c, prefix, 4);
    std::string longer = prefix + std::string(extra, 'p');
    EXPECT_EQ(SymbolExists(c, longer), 0) << extra;
    EXPECT_EQ(FindSymbol(c, prefix), 1) << extra;
    EXPECT_EQ(SymbolExists(c, longer), 0) << extra;
    c.decl.currentFunctionLabel = "_func_main";
    EXPECT_EQ(SymbolExists(c, longer), 0) << extra;
    EXPECT_EQ(FindSymbol(c, prefix), 1) << extra;
  }
}

TEST(SymbolLookup, EveryMissReportsEvenWhenCached) {
  TestCompiler t;
  Compiler& c = t.c();
  c.decl.currentFunctionLabel = "_func_f";
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(FindSymbol(c, "nope"), 0);
    EXPECT_EQ(SymbolElementSize(c, "nope"), 0);
  }
  EXPECT_EQ(ReportCount(t.ConsoleText()), 6);
}

// Thousands of generated names, locals among them, each at its own record, in
// and out of the function, looked up twice so cached answers are checked too.
TEST(SymbolLookup, ThousandsOfNamesEachFindTheirRecord) {
  constexpr int kNames = 4000;
  TestCompiler t;
  Compiler& c = t.c();
  for (int i = 0; i < kNames; ++i) {
    FixedText<32> name = Numbered(i % 5 == 0 ? "loc" : "g", i);
    if (i % 5 == 0) name.append("_func_f");
    Declare(c, name.view(), 4);
  }
  ASSERT_EQ(c.decl.symbolCount, kNames);
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < kNames; ++i) {
      if (i % 5 == 0) {
        c.decl.currentFunctionLabel = "_func_f";
        ASSERT_EQ(FindSymbol(c, Numbered("loc", i).view()), i + 1) << i;
        c.decl.currentFunctionLabel.clear();
        ASSERT_EQ(SymbolExists(c, Numbered("loc", i).view()), 0) << i;
      } else {
        ASSERT_EQ(FindSymbol(c, Numbered("g", i).view()), i + 1) << i;
      }
    }
  }
  EXPECT_EQ(SymbolExists(c, Numbered("g", kNames).view()), 0);
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
}

// The same name stored twice (the index may meet it so) answers with the first
// record; a name is found whichever way it is split into name and suffix, and
// the key hash of the parts around the label's mark is that of the whole name.
TEST(SymbolIndexTest, FirstRecordWinsAndSplitsDoNotMatter) {
  auto records = std::make_unique<std::vector<SymbolRecord>>(12);
  auto index = std::make_unique<SymbolIndex>();
  const char* names[] = {"", "abc", "abd", "twin", "ab", "twin", "abc_func_f", "twin"};
  for (int i = 1; i < 8; ++i) {
    (*records)[i].name = names[i];
    index->Add(*records, i);
  }
  auto find = [&](std::string_view name, std::string_view label) {
    std::string whole = std::string(name) + std::string(label);
    return index->Find(*records, name, label, SymbolIndex::StoredKeyHash(whole));
  };
  EXPECT_EQ(find("twin", ""), 3);
  EXPECT_EQ(find("abc", ""), 1);
  EXPECT_EQ(find("ab", "c"), 1);
  EXPECT_EQ(find("", "abc"), 1);
  EXPECT_EQ(find("ab", "d"), 2);
  EXPECT_EQ(find("ab", ""), 4);
  EXPECT_EQ(find("abc", "_func_f"), 6);
  EXPECT_EQ(find("abc_func_", "f"), 6);
  EXPECT_EQ(find("abc", "_func_g"), -1);
  EXPECT_EQ(find("ab", "x"), -1);
  EXPECT_EQ(find("abcd", ""), -1);
  EXPECT_EQ(find("tw", "in"), 3);
  using I = SymbolIndex;
  EXPECT_EQ(I::KeyHash(I::PartHash("abc"), I::PartHash("_func_f")), I::StoredKeyHash("abc_func_f"));
  EXPECT_EQ(I::KeyHash(I::PartHash("abc"), 0), I::StoredKeyHash("abc"));
}

// A local whose name ends in "_func" meets the label's mark inside its own name.
TEST(SymbolIndexTest, NameEndingLikeTheMarkIsFound) {
  TestCompiler t;
  Compiler& c = t.c();
  c.decl.currentFunctionLabel = "_func_f";
  NameBuffer local("x_func_func_f");
  DeclareSymbol(c, local, 4, SymScalar, 0, 1, 4, "", 0, -1);
  EXPECT_EQ(FindSymbol(c, "x_func"), 1);
  c.decl.currentFunctionLabel = "_func_g";
  EXPECT_EQ(SymbolExists(c, "x_func"), 0);
}

TEST(MemberTable, StructLayoutIsPackedWithoutPadding) {
  TestCompiler t;
  Compiler& c = t.c();
  c.decl.structOffset = 0;
  NameBuffer a("a");
  DeclareSymbol(c, a, 4, SymScalar, 0, 1, 4, "S", 1, -1);
  NameBuffer b("b_func_main");  // a member name loses any function label
  DeclareSymbol(c, b, 1, SymScalar, 0, 1, 1, "S", 1, -1);
  EXPECT_EQ(a.view(), "S_ST_a");
  EXPECT_EQ(b.view(), "S_ST_b");
  ASSERT_EQ(c.decl.memberCount, 2);
  const MemberRecord& ma = c.decl.members[1];
  const MemberRecord& mb = c.decl.members[2];
  EXPECT_EQ(ma.owner.view(), "S");
  EXPECT_EQ(ma.member.view(), "a");
  EXPECT_EQ(ma.elemSize, 4);
  EXPECT_EQ(ma.totalSize, 4);
  EXPECT_EQ(ma.offset, 0);
  EXPECT_EQ(mb.member.view(), "b");
  EXPECT_EQ(mb.elemSize, 1);
  EXPECT_EQ(mb.offset, 4);
  EXPECT_EQ(StructSize(c, "S"), 5);
  EXPECT_EQ(StructSize(c, "T"), 0);
  EXPECT_EQ(FindSymbol(c, "S_ST_b"), 2);
  EXPECT_EQ(TypeNameOf(c.decl, c.decl.symbols[2]), "S");
  EXPECT_EQ(MemberOffsetOf(c, "S", "S_ST_b"), 4);
  EXPECT_EQ(MemberOffsetOf(c, "S", "b"), 4);
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
}

TEST(MemberTable, MemberOfStructureTypeKeepsItsOwnTag) {
  TestCompiler t;
  Compiler& c = t.c();
  NameBuffer x("x");
  DeclareSymbol(c, x, 4, SymScalar, 0, 1, 4, "T", 1, -1);
  c.decl.structOffset = 0;
  NameBuffer inner("t");
  DeclareSymbol(c, inner, 4, SymScalar, 0, 1, 4, "S", 1, -1, "T");
  EXPECT_EQ(inner.view(), "S_ST_t");
  int s = FindSymbol(c, "S_ST_t");
  EXPECT_EQ(TypeNameOf(c.decl, c.decl.symbols[s]), "T");  // the chain s.t.x finds T
  EXPECT_EQ(c.decl.members[2].owner.view(), "S");         // while t belongs to S
}

TEST(MemberTable, PointerAndArrayMembersTakeTheirTotalSizes) {
  TestCompiler t;
  Compiler& c = t.c();
  NameBuffer p("p");
  DeclareSymbol(c, p, 1, SymPointer, 0, 2, 4, "S", 1, -1);
  NameBuffer v("v");
  DeclareSymbol(c, v, 4, SymArray, 1, 1, 12, "S", 1, -1);
  EXPECT_EQ(c.decl.members[1].elemSize, 1);
  EXPECT_EQ(c.decl.members[1].totalSize, 4);
  EXPECT_EQ(c.decl.members[2].totalSize, 12);
  EXPECT_EQ(c.decl.members[2].offset, 4);
  EXPECT_EQ(StructSize(c, "S"), 16);
}

TEST(MemberTable, DefiningAStructTwiceDoublesItsSize) {
  TestCompiler t;
  Compiler& c = t.c();
  for (int round = 0; round < 2; ++round) {
    c.decl.structOffset = 0;
    NameBuffer a("a");
    DeclareSymbol(c, a, 4, SymScalar, 0, 1, 4, "S", 1, -1);
    NameBuffer v("v");
    DeclareSymbol(c, v, 1, SymArray, 1, 1, 3, "S", 1, -1);
  }
  EXPECT_EQ(StructSize(c, "S"), 14);
  EXPECT_EQ(MemberOffsetOf(c, "S", "v"), 4);  // the first record wins
  std::string out = t.ConsoleText();
  EXPECT_EQ(ReportCount(out), 1);  // only the scalar member a
  EXPECT_TRUE(Reported(out, "Variable already defined", "S_ST_a"));
}

TEST(MemberTable, UnknownMemberReports27) {
  TestCompiler t;
  EXPECT_EQ(MemberOffsetOf(t.c(), "S", "q"), 0);
  EXPECT_TRUE(Reported(t.ConsoleText(), "Struct indefined", ""));
}

TEST(MemberTable, NextMemberCyclesThroughTheTagsMembers) {
  TestCompiler t;
  Compiler& c = t.c();
  for (std::string_view m : {"a", "b"}) {
    NameBuffer n(m);
    DeclareSymbol(c, n, 4, SymScalar, 0, 1, 4, "S", 1, -1);
  }
  NameBuffer other("z");
  DeclareSymbol(c, other, 4, SymScalar, 0, 1, 4, "T", 1, -1);
  NameBuffer last("c");
  DeclareSymbol(c, last, 4, SymScalar, 0, 1, 4, "S", 1, -1);
  EXPECT_EQ(NextMember(c, ""), 0);
  int seen[7];
  for (int& s : seen) s = NextMember(c, "S");
  const int expected[7] = {1, 2, 4, 1, 2, 4, 1};
  for (int k = 0; k < 7; ++k) EXPECT_EQ(seen[k], expected[k]) << k;
  EXPECT_EQ(NextMember(c, ""), 0);
  EXPECT_EQ(NextMember(c, "S"), 1);  // a reset starts again at the first member
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
  EXPECT_EQ(NextMember(c, "Q"), -1);
  EXPECT_TRUE(Reported(t.ConsoleText(), "Get Array error", "Invalid size..."));
}

TEST(DimensionTable, RecordsDimensionsAndCumulativeSizes) {
  TestCompiler t;
  Compiler& c = t.c();
  Declare(c, "m", 4, SymArray);
  RecordDimensions(c, "m", "[2][3]");
  const SymbolRecord& r = c.decl.symbols[1];
  EXPECT_EQ(r.dimIndex, 0);
  EXPECT_EQ(c.decl.dimensionCount, 1);
  const int* d = c.decl.dimensions[0].values;
  EXPECT_EQ(d[0], 2);
  EXPECT_EQ(d[1], 2);
  EXPECT_EQ(d[2], 3);
  EXPECT_EQ(r.sizes[2], 8);
  EXPECT_EQ(r.sizes[3], 24);
  EXPECT_EQ(r.sizes[4], 4);  // untouched beyond the dimensions
}

struct DimCase {
  const char* dims;
  int count;
  int values[3];
};

TEST(DimensionTable, ReadsEachBracketGroup) {
  const DimCase cases[] = {
      {"[10][20]", 2, {10, 20, 0}}, {"[ 10 ]", 1, {10, 0, 0}},   {"[]", 1, {0, 0, 0}},
      {"[x][2]", 2, {0, 2, 0}},     {"[1][2][3]", 3, {1, 2, 3}},
  };
  for (const DimCase& k : cases) {
    TestCompiler t;
    Compiler& c = t.c();
    Declare(c, "a", 1, SymArray);
    RecordDimensions(c, "a", k.dims);
    const int* d = c.decl.dimensions[0].values;
    EXPECT_EQ(d[0], k.count) << k.dims;
    for (int i = 0; i < k.count; ++i) EXPECT_EQ(d[1 + i], k.values[i]) << k.dims;
  }
}

TEST(DimensionTable, SecondArrayTakesTheNextRecordAndRedeclarationRerecords) {
  TestCompiler t;
  Compiler& c = t.c();
  Declare(c, "a", 4, SymArray);
  RecordDimensions(c, "a", "[4]");
  Declare(c, "b", 1, SymArray);
  RecordDimensions(c, "b", "[5]");
  Declare(c, "a", 4, SymArray);
  RecordDimensions(c, "a", "[6]");
  EXPECT_EQ(c.decl.symbols[2].dimIndex, 1);
  EXPECT_EQ(c.decl.symbols[1].dimIndex, 2);
  EXPECT_EQ(c.decl.symbols[1].sizes[2], 24);
}

TEST(Limits, EightDimensionsReportAndKeepSeven) {
  TestCompiler t;
  Compiler& c = t.c();
  Declare(c, "a", 1, SymArray);
  RecordDimensions(c, "a", "[1][2][1][2][1][2][1][2]");
  EXPECT_EQ(c.decl.dimensions[0].values[0], 7);
  EXPECT_EQ(c.decl.symbols[1].sizes[8], 8);
  EXPECT_TRUE(Reported(t.ConsoleText(), "Too many dimensions", "a"));
}

TEST(Limits, FullTablesReportAndStoreNothingMore) {
  TestCompiler t;
  Compiler& c = t.c();
  for (int i = 1; i <= kSymbolRecords - 1; ++i) Declare(c, Numbered("v", i), 4);
  EXPECT_EQ(c.decl.symbolCount, kSymbolRecords - 1);
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
  Declare(c, "one_too_many", 4);
  EXPECT_EQ(c.decl.symbolCount, kSymbolRecords - 1);
  EXPECT_TRUE(Reported(t.ConsoleText(), "Symbol table full", "one_too_many"));
  EXPECT_EQ(FindSymbol(c, "v4999"), 4999);

  TestCompiler m;
  for (int i = 1; i <= kMemberRecords; ++i) {
    NameBuffer n(Numbered("m", i).view());
    DeclareSymbol(m.c(), n, 1, SymScalar, 0, 1, 1, "S", 1, -1);
  }
  EXPECT_EQ(m->decl.memberCount, kMemberRecords - 1);
  EXPECT_EQ(StructSize(m.c(), "S"), kMemberRecords - 1);
  EXPECT_TRUE(Reported(m.ConsoleText(), "Member table full", "m1000"));

  TestCompiler d;
  Declare(d.c(), "a", 1, SymArray);
  for (int i = 0; i <= kDimensionRecords; ++i) RecordDimensions(d.c(), "a", "[2]");
  EXPECT_EQ(d->decl.dimensionCount, kDimensionRecords);
  EXPECT_EQ(ReportCount(d.ConsoleText()), 1);
  EXPECT_TRUE(Reported(d.ConsoleText(), "Dimension table full", "a"));
}

TEST(Limits, OverlongNamesAreReportedNotStored) {
  TestCompiler t;
  Compiler& c = t.c();
  std::string longName(80, 'n');
  Declare(c, longName, 4);
  EXPECT_EQ(c.decl.symbolCount, 0);
  Declare(c, std::string(79, 'n'), 4);  // the longest name that fits
  EXPECT_EQ(c.decl.symbolCount, 1);
  std::string longTag(80, 't');
  NameBuffer member("a");
  DeclareSymbol(c, member, 4, SymScalar, 0, 1, 4, longTag, 1, -1);
  EXPECT_EQ(c.decl.memberCount, 0);
  std::string out = t.ConsoleText();
  EXPECT_EQ(ReportCount(out), 2);
  EXPECT_TRUE(Reported(out, "Name too long", longName));
}

TEST(Limits, RecordZeroIsNeverWritten) {
  TestCompiler t;
  Compiler& c = t.c();
  Declare(c, "", 4);  // the empty name exists as record 0: reported, nothing added
  RecordDimensions(c, "", "[3]");
  SetParamCount(c, "", 2);
  const SymbolRecord& r = c.decl.symbols[0];
  EXPECT_EQ(r.sizes[0], 0);
  EXPECT_EQ(r.sizes[2], 0);
  EXPECT_EQ(r.paramCount, 0);
  EXPECT_EQ(c.decl.dimensionCount, 0);
  EXPECT_EQ(c.decl.symbolCount, 0);
}

}  // namespace
}  // namespace stackcc
