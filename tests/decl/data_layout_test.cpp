#include "decl/data_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "base/compiler.h"
#include "decl/tables.h"
#include "decl_test_util.h"
#include "io/output.h"
#include "scanner/scanner.h"

namespace stackcc {
namespace {

using testing::FileCompiler;
using testing::ReportCount;
using testing::Reported;
using testing::TestCompiler;

// Defines struct S { int a; char b; } straight in the tables.
void DefineS(Compiler& c) {
  c.decl.structOffset = 0;
  NameBuffer a("a");
  DeclareSymbol(c, a, 4, SymScalar, 0, 1, 4, "S", 1, -1);
  NameBuffer b("b");
  DeclareSymbol(c, b, 1, SymScalar, 0, 1, 1, "S", 1, -1);
}

struct DataCase {
  const char* text;
  int elemSize;
  int total;
  const char* typeName;
  const char* lines;
  int reports;
};

TEST(EmitData, WalksValuesAndPads) {
  const DataCase cases[] = {
      {"0", 4, 4, "", "dd 0\r\n", 0},
      {"0", 1, 1, "", "db 0\r\n", 0},
      {"0", 8, 8, "", "db 0\r\ndb 0 DUP 7 \r\n", 0},
      {"0", 1, 4, "", "db 0\r\ndb 0 DUP 3 \r\n", 0},
      {"", 4, 40, "", "db 0 DUP 40 \r\n", 0},
      {"{1,2}", 4, 16, "", "dd 1\r\ndd 2\r\ndb 0 DUP 8 \r\n", 0},
      {"\"097098099\"", 1, 0, "", "db 097\r\ndb 098\r\ndb 099\r\ndb 0\r\n", 0},
      {"\"097098099\"", 1, 2, "", "db 097\r\ndb 098\r\ndb 099\r\ndb 0\r\n", 1},
      {"{\"097098\",\"099100\"}", 1, 8, "",
       "db 097\r\ndb 098\r\ndb 0\r\ndb 099\r\ndb 100\r\ndb 0\r\ndb 0 DUP 2 \r\n", 0},
      {"300", 8, 8, "", "dd 300\r\ndd 0\r\n", 0},
      {"{-1,2}", 4, 8, "", "dd 4294967295\r\ndd 2\r\n", 0},
      {"\"097098099\"", 1, 4, "", "db 097\r\ndb 098\r\ndb 099\r\ndb 0\r\n", 0},
      {"{x1,y;2}", 4, -1, "", "dd 1\r\ndd 2\r\n", 0},  // letters skipped, digits kept
      {"{1,2,3}", 4, 4, "", "dd 1\r\ndd 2\r\ndd 3\r\n", 1},
      {"\"\"", 1, -1, "", "db 0\r\n", 0},
  };
  for (const DataCase& k : cases) {
    TestCompiler t;
    EmitData(t.c(), k.text, {k.elemSize, k.total, k.typeName});
    EXPECT_EQ(t->out.emit.view(), k.lines) << k.text;
    EXPECT_EQ(ReportCount(t.ConsoleText()), k.reports) << k.text;
    if (k.reports > 0) {
      EXPECT_TRUE(Reported(t.ConsoleText(), "Limite de espaco excedido para data", ""));
    }
  }
}

TEST(EmitData, StructureValuesTakeTheirMembersSizes) {
  const DataCase cases[] = {
      {"{1,2}", 5, 5, "S", "dd 1\r\ndb 2\r\n", 0},
      {"{1,2,3,4}", 5, 10, "S", "dd 1\r\ndb 2\r\ndd 3\r\ndb 4\r\n", 0},
      {"{1}", 5, 5, "S", "dd 1\r\ndb 0 DUP 1 \r\n", 0},
      // A nested list does not restart the walk: 1 and 2 both take a's size.
      {"{{1,2},3}", 5, -1, "S", "dd 1\r\ndd 2\r\ndb 3\r\n", 0},
      // Outside the list the structure's own size is written byte by byte.
      {"0", 5, 5, "S", "db 0\r\ndb 0 DUP 4 \r\n", 0},
  };
  for (const DataCase& k : cases) {
    TestCompiler t;
    DefineS(t.c());
    EmitData(t.c(), k.text, {k.elemSize, k.total, k.typeName});
    EXPECT_EQ(t->out.emit.view(), k.lines) << k.text;
    EXPECT_EQ(ReportCount(t.ConsoleText()), k.reports) << k.text;
  }
}

// Each value fills its element: a minus after "{", "," or at the start makes a
// two's complement at the element's width; a long takes eight bytes (one byte
// line and padding when written as at most 255, else its two words); so does
// a pointer with four, whatever it points to.
TEST(EmitData, ValuesFillTheirElements) {
  struct Case {
    const char* text;
    ItemLayout layout;
    const char* lines;
  } const cases[] = {
      {"-1", {1, 1, ""}, "db 255\r\n"},
      {"- 1", {4, 4, ""}, "dd 4294967295\r\n"},
      {"{-128,-0,- 00}", {1, 3, ""}, "db 128\r\ndb 0\r\ndb 0\r\n"},
      {"{3 - 1}", {4, 8, ""}, "dd 3\r\ndd 1\r\n"},
      {"{1,-2}", {4, -1, "", true}, "dd 1\r\ndd 4294967294\r\n"},
      {"-1", {8, 8, ""}, "dd 4294967295\r\ndd 4294967295\r\n"},
      {"{1,2}", {8, 16, ""}, "db 1\r\ndb 0 DUP 7 \r\ndb 2\r\ndb 0 DUP 7 \r\n"},
      {"{255,256}", {8, 16, ""}, "db 255\r\ndb 0 DUP 7 \r\ndd 256\r\ndd 0\r\n"},
      {"4294967296", {8, 8, ""}, "dd 0\r\ndd 1\r\n"},
      {"18446744073709551617", {8, 8, ""}, "dd 1\r\ndd 0\r\n"},
      {"007", {8, 8, ""}, "db 007\r\ndb 0 DUP 7 \r\n"},
      {"{1,2}", {1, 8, "", true}, "db 1\r\ndb 0 DUP 3 \r\ndb 2\r\ndb 0 DUP 3 \r\n"},
      {"{300,-1}", {8, 8, "", true}, "dd 300\r\ndd 4294967295\r\n"},
      {"0", {1, 4, "", true}, "db 0\r\ndb 0 DUP 3 \r\n"},
      // A structure's pointer walks no members: every value is an address.
      {"{1,2}", {5, 8, "S", true}, "db 1\r\ndb 0 DUP 3 \r\ndb 2\r\ndb 0 DUP 3 \r\n"},
      // Strings keep their lines; in a list of rows they fill their row.
      {"{\"097\",\"098099100\"}",
       {1, 8, "", false, 4},
       "db 097\r\ndb 0\r\ndb 0 DUP 2 \r\ndb 098\r\ndb 099\r\ndb 100\r\ndb 0\r\n"},
      {"{\"097098099100\",\"098\"}",
       {1, 8, "", false, 4},
       "db 097\r\ndb 098\r\ndb 099\r\ndb 100\r\ndb 0\r\ndb 098\r\ndb 0\r\ndb 0 DUP 2 \r\n"},
      {"\"097\"", {1, 4, "", false, 4}, "db 097\r\ndb 0\r\ndb 0 DUP 2 \r\n"},
  };
  for (const Case& k : cases) {
    TestCompiler t;
    DefineS(t.c());
    EmitData(t.c(), k.text, k.layout);
    EXPECT_EQ(t->out.emit.view(), k.lines) << k.text;
  }
}

TEST(EmitData, LongMemberFillsItsEightBytes) {
  TestCompiler t;
  Compiler& c = t.c();
  NameBuffer x("x");
  DeclareSymbol(c, x, 8, SymScalar, 0, 1, 8, "L", 1, -1);
  NameBuffer y("y");
  DeclareSymbol(c, y, 4, SymScalar, 0, 1, 4, "L", 1, -1);
  EmitData(c, "{5,6}", {12, 12, "L"});
  EXPECT_EQ(c.out.emit.view(), "db 5\r\ndb 0 DUP 7 \r\ndd 6\r\n");
}

TEST(EmitData, StructureWithoutMembersReportsEachValue) {
  TestCompiler t;
  EmitData(t.c(), "{1,2}", {0, 0, "E"});
  EXPECT_EQ(t->out.emit.view(), "db 1\r\ndb 2\r\n");
  // Stops at 1, 2 and the closing brace are all at depth 1.
  EXPECT_EQ(ReportCount(t.ConsoleText()), 3);
  EXPECT_TRUE(Reported(t.ConsoleText(), "Get Array error", "Invalid size..."));
}

TEST(ArrayByteSize, MultipliesTheGroups) {
  struct Case {
    const char* dims;
    int elem;
    int bytes;
  } const cases[] = {
      {"[10][20]", 4, 800}, {"[]", 4, 0},   {"[2] [4]", 1, 8}, {"[ -3]", 2, -6},
      {"[x]", 4, 0},        {"[4]", 8, 32}, {"[3", 4, 12},
  };
  for (const Case& k : cases) EXPECT_EQ(ArrayByteSize(k.dims, k.elem), k.bytes) << k.dims;
}

struct LayoutCase {
  const char* label;
  void (*declare)(Compiler&);
  const char* ext;
  const char* content;
};

void IntA(Compiler& c) {
  NameBuffer n("a");
  DeclareScalar(c, n, 0, 4, 0, "", 0);
}
void CharPtrQ(Compiler& c) {
  NameBuffer n("q");
  DeclareScalar(c, n, 1, 1, 0, "", 0);
}
void IntW10(Compiler& c) {
  NameBuffer n("w");
  DeclareArray(c, n, "[10]", 4, 0, 0, "", 0);
}
void IntV4Init(Compiler& c) {
  NameBuffer n("v");
  DeclareArrayInit(c, n, "[4]", 4, "{1,2}", 0, 0, "", 0);
}
void FixedF(Compiler& c) {
  c.decl.fixedFlag = 1;
  NameBuffer n("f");
  DeclareScalarInit(c, n, "3", 0, 4, 0, "", 0);
}
void FixedArray(Compiler& c) {
  c.decl.fixedFlag = 1;
  NameBuffer n("t");
  DeclareArray(c, n, "[4]", 1, 0, 0, "", 0);
}
void PtrArray(Compiler& c) {
  NameBuffer n("pa");
  DeclareArray(c, n, "[3]", 1, 1, 0, "", 0);  // char *pa[3]: 3 pointers
}

TEST(Declarators, WriteLabelAndDataToTheirSection) {
  const LayoutCase cases[] = {
      {"int a", IntA, "004", "a:\r\ndd 0\r\n\r\n"},
      {"char *q", CharPtrQ, "004", "q:\r\ndb 0\r\ndb 0 DUP 3 \r\n\r\n"},
      {"int w[10]", IntW10, "004", "w:\r\ndb 0 DUP 40 \r\n\r\n"},
      {"int v[4]={1,2}", IntV4Init, "003", "v:\r\ndd 1\r\ndd 2\r\ndb 0 DUP 8 \r\n\r\n"},
      {"fixed int f=3", FixedF, "002", "f:\r\ndd 3\r\n\r\n"},
      {"fixed char t[4]", FixedArray, "002", "t:\r\ndb 0 DUP 4 \r\n\r\n"},
      {"char *pa[3]", PtrArray, "004", "pa:\r\ndb 0 DUP 12 \r\n\r\n"},
  };
  for (const LayoutCase& k : cases) {
    FileCompiler t;
    k.declare(t.c());
    EXPECT_TRUE(t->out.emit.empty()) << k.label;
    for (const char* ext : {"002", "003", "004"}) {
      EXPECT_EQ(t.File(ext), std::string(ext) == k.ext ? k.content : "") << k.label << " " << ext;
    }
    EXPECT_EQ(ReportCount(t.ConsoleText()), 0) << k.label;
  }
}

// A string cannot initialise a pointer: reported with the bare name, the data
// lines as they were and the local's label whole.
TEST(Declarators, StringForAPointerIsReported) {
  for (const char* value : {"\"097098099\"", "{\"097\"}"}) {
    FileCompiler t;
    NameBuffer n("r_func_main");
    DeclareScalarInit(t.c(), n, value, 1, 1, 0, "", 0);
    EXPECT_TRUE(Reported(t.ConsoleText(), "String needs an array", "r")) << value;
    EXPECT_EQ(t.File("003").substr(0, 20), "r_func_main:\r\ndb 097") << value;
  }
  FileCompiler t;
  NameBuffer s("s");
  DeclareArrayInit(t.c(), s, "[4]", 1, "\"097\"", 0, 0, "", 0);
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
}

// The same for a member of a structure's list that is a pointer (not an array),
// once per declarator.
TEST(Declarators, StringForAPointerMemberIsReported) {
  FileCompiler t;
  Compiler& c = t.c();
  c.decl.structOffset = 0;
  NameBuffer id("id"), text("text"), name("name");
  DeclareSymbol(c, id, 4, SymScalar, 0, 1, 4, "M", 1, -1);
  DeclareSymbol(c, text, 1, SymPointer, 0, 2, 4, "M", 1, -1);
  DeclareSymbol(c, name, 1, SymArray, 1, 1, 4, "M", 1, -1);
  NameBuffer m("m");
  DeclareArrayInit(c, m, "[2]", 9, "{1,\"104\",\"097\",2,\"105\"}", 0, 0, "M", 0);
  EXPECT_EQ(ReportCount(t.ConsoleText()), 1);
  EXPECT_TRUE(Reported(t.ConsoleText(), "String needs an array", "m"));
}

TEST(Declarators, SymbolsCarryKindSizesAndDimensions) {
  TestCompiler t;
  Compiler& c = t.c();
  NameBuffer p("p");
  DeclareScalar(c, p, 1, 4, 0, "", 0);
  NameBuffer m("m");
  DeclareArrayInit(c, m, "[2][4]", 1, "{}", 0, 0, "", 0);
  const SymbolRecord& sp = c.decl.symbols[FindSymbol(c, "p")];
  EXPECT_EQ(sp.kind, SymPointer);
  EXPECT_EQ(sp.indirection, 2);
  EXPECT_EQ(sp.sizes[0], 4);
  const SymbolRecord& sm = c.decl.symbols[FindSymbol(c, "m")];
  EXPECT_EQ(sm.kind, SymArray);
  EXPECT_EQ(sm.isArray, 1);
  EXPECT_EQ(sm.indirection, 1);
  EXPECT_EQ(sm.sizes[2], 2);
  EXPECT_EQ(sm.sizes[3], 8);
  EXPECT_EQ(c.decl.dimensions[sm.dimIndex].values[0], 2);
}

TEST(Declarators, ExternAndMembersKeepNoStorage) {
  FileCompiler t;
  Compiler& c = t.c();
  Emit(c, "LINE:3:p.c\r\n");
  NameBuffer e("e");
  DeclareScalar(c, e, 0, 4, 1, "", 0);
  NameBuffer v("v");
  DeclareArray(c, v, "[3]", 4, 0, 1, "S", 1);
  EXPECT_TRUE(c.out.emit.empty());  // the marker goes with them
  EXPECT_EQ(v.view(), "S_ST_v");
  EXPECT_EQ(c.decl.members[1].totalSize, 12);
  EXPECT_EQ(c.decl.symbols[FindSymbol(c, "S_ST_v")].sizes[2], 12);
  EXPECT_EQ(t.File("003") + t.File("004"), "");
}

TEST(Declarators, MarkerAlreadyInTheBufferGoesAheadOfTheItem) {
  FileCompiler t;
  Compiler& c = t.c();
  Emit(c, "LINE:3:p.c\r\n");
  NameBuffer a("a");
  DeclareScalar(c, a, 0, 1, 0, "", 0);
  EXPECT_EQ(t.File("004"), "LINE:3:p.c\r\na:\r\ndb 0\r\n\r\n");
}

TEST(Declarators, RepeatedLocalIsLabelledWithItsBareName) {
  FileCompiler t;
  Compiler& c = t.c();
  c.decl.currentFunctionLabel = "_func_f";
  NameBuffer first("n_func_f");
  DeclareScalar(c, first, 0, 4, 0, "", 0);
  NameBuffer again("n_func_f");
  DeclareScalar(c, again, 0, 4, 0, "", 0);
  EXPECT_EQ(t.File("004"), "n_func_f:\r\ndd 0\r\n\r\nn:\r\ndd 0\r\n\r\n");
  EXPECT_TRUE(Reported(t.ConsoleText(), "Variable already defined", "n"));
}

TEST(HoistStringLiterals, ReplacesLiteralsByNumberedLabels) {
  FileCompiler t;
  Compiler& c = t.c();
  FixedText<1024> text("x = \"hi\"");
  EXPECT_EQ(HoistStringLiterals(c, text), 1);
  EXPECT_EQ(text.view(), "x = PTR_AUX_NUMBER_1");
  FixedText<1024> two("f(\"a\", \"\")");
  EXPECT_EQ(HoistStringLiterals(c, two), 1);
  EXPECT_EQ(two.view(), "f(PTR_AUX_NUMBER_2, PTR_AUX_NUMBER_3)");
  EXPECT_EQ(t.File("002"),
            "PTR_AUX_NUMBER_1:\r\ndb 104\r\ndb 105\r\ndb 0\r\n\r\n"
            "PTR_AUX_NUMBER_2:\r\ndb 097\r\ndb 0\r\n\r\n"
            "PTR_AUX_NUMBER_3:\r\ndb 0\r\n\r\n");
  const SymbolRecord& r = c.decl.symbols[FindSymbol(c, "PTR_AUX_NUMBER_1")];
  EXPECT_EQ(r.kind, SymArray);
  EXPECT_EQ(r.isArray, 0);
  EXPECT_EQ(r.indirection, 1);
  EXPECT_EQ(r.sizes[0], 1);  // a char array: "abc"[i] reads one byte
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
}

TEST(HoistStringLiterals, SuffixJoinsTheLabel) {
  FileCompiler t;
  t->run.targetSuffix = "x";
  FixedText<1024> text("p = \"A\"");
  HoistStringLiterals(t.c(), text);
  EXPECT_EQ(text.view(), "p = PTR_AUX_NUMBER_x1");
}

TEST(HoistStringLiterals, UnclosedLiteralGivesZero) {
  FileCompiler t;
  FixedText<1024> text("a = \"ok\", b = \"open");
  EXPECT_EQ(HoistStringLiterals(t.c(), text), 0);
  EXPECT_EQ(text.view(), "a = PTR_AUX_NUMBER_1, b = \"open");
}

TEST(HoistStringLiterals, MarkerOnlyBufferMovesToDataAndMarkerReturns) {
  FileCompiler t;
  Compiler& c = t.c();
  Emit(c, "LINE:7:p.c\r\n");
  c.scan.lastMarkerLine = "LINE:7:p.c\r\n";
  FixedText<1024> text("s = \"a\"");
  HoistStringLiterals(c, text);
  EXPECT_EQ(c.out.emit.view(), "LINE:7:p.c\r\n");
  EXPECT_EQ(t.File("002"), "LINE:7:p.c\r\nPTR_AUX_NUMBER_1:\r\ndb 097\r\ndb 0\r\n\r\n");
}

TEST(HoistStringLiterals, CodeInTheBufferStaysInTheCodeFile) {
  FileCompiler t;
  Compiler& c = t.c();
  const char* held = "LINE:9:p.c\r\npush_parameter 1\r\nfor_stlev_1_ctlbl_1:\r\n";
  Emit(c, held);
  c.scan.lastMarkerLine = "LINE:9:p.c\r\n";
  FixedText<1024> text("puts(\"b\")");
  HoistStringLiterals(c, text);
  EXPECT_EQ(c.out.emit.view(), held);
  EXPECT_EQ(t.File("002"), "PTR_AUX_NUMBER_1:\r\ndb 098\r\ndb 0\r\n\r\n");
}

TEST(HoistStringLiterals, ResultLongerThanTheTextIsReported) {
  FileCompiler t;
  std::string many;
  for (int i = 0; i < 300; ++i) many += "\"\"";
  FixedText<1024> text(many);
  EXPECT_EQ(HoistStringLiterals(t.c(), text), 0);
  EXPECT_TRUE(Reported(t.ConsoleText(), "Expression too long", ""));
}

}  // namespace
}  // namespace stackcc
