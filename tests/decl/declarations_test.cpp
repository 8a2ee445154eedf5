#include "decl/declarations.h"

#include <gtest/gtest.h>

#include <string>

#include "decl_test_util.h"
#include "base/compiler.h"
#include "scanner/scanner.h"
#include "decl/tables.h"

namespace stackcc {
namespace {

using testing::FileCompiler;
using testing::ReportCount;
using testing::Reported;

// Compiles one statement text as the dispatcher offers it; returns the result.
int Compile(FileCompiler& t, std::string_view text) {
  t.SetText(text);
  return CompileDeclaration(t.c(), "", 0);
}

std::string Rest(FileCompiler& t) {
  return std::string(ScanRest(t.c()));
}

const SymbolRecord* Symbol(FileCompiler& t, std::string_view name) {
  Compiler& c = t.c();
  for (int i = 1; i <= c.decl.symbolCount; ++i) {
    if (c.decl.symbols[i].name == name) return &c.decl.symbols[i];
  }
  return nullptr;
}

TEST(Declaration, FiveKindsOfDeclaratorInOneStatement) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "int a, *b, c[4], d = 5, e[2] = {1, 2}; x"), 1);
  EXPECT_EQ(Rest(t), " x");
  ASSERT_EQ(t->decl.symbolCount, 5);
  EXPECT_EQ(Symbol(t, "a")->kind, SymScalar);
  EXPECT_EQ(Symbol(t, "b")->kind, SymPointer);
  EXPECT_EQ(Symbol(t, "c")->kind, SymArray);
  EXPECT_EQ(Symbol(t, "d")->kind, SymScalar);
  EXPECT_EQ(Symbol(t, "e")->isArray, 1);
  EXPECT_TRUE(t->out.emit.empty());
  EXPECT_EQ(t.File("004"), "a:\r\ndd 0\r\n\r\nb:\r\ndd 0\r\n\r\nc:\r\ndb 0 DUP 16 \r\n\r\n");
  EXPECT_EQ(t.File("003"), "d:\r\ndd 5\r\n\r\ne:\r\ndd 1\r\ndd 2\r\n\r\n");
}

TEST(Declaration, InitialisedScalarLeavesItsSemicolon) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "int d = 5; y"), 1);
  EXPECT_EQ(Rest(t), "; y");
}

struct AttrCase {
  const char* text;
  int result;
  int reports47;
  const char* section;  // where x's data went, or "" for none
};

TEST(Declaration, ExternFixedAndTheirOrder) {
  const AttrCase cases[] = {
      {"extern int x;", 1, 0, ""},
      {"extern foo;", 0, 1, ""},
      {"fixed char x[4];", 1, 0, "002"},
      {"extern fixed int x;", 1, 1, "002"},
      {"fixed extern int x;", 0, 1, ""},
      {"fixed public int x;", 1, 0, "002"},
      {"extern public int x;", 1, 0, ""},
      {"public extern int x;", 0, 0, ""},
      {"int x;", 1, 0, "004"},
  };
  for (const AttrCase& k : cases) {
    FileCompiler t;
    EXPECT_EQ(Compile(t, k.text), k.result) << k.text;
    std::string out = t.ConsoleText();
    EXPECT_EQ(ReportCount(out), k.reports47) << k.text;
    if (k.reports47 > 0) {
      EXPECT_TRUE(Reported(out, "Expecting declaration of variable after EXTERN", "")) << k.text;
    }
    EXPECT_EQ(Symbol(t, "x") != nullptr, k.result == 1) << k.text;
    for (const char* ext : {"002", "003", "004"}) {
      std::string data = t.File(ext);
      EXPECT_EQ(!data.empty(), std::string(ext) == k.section) << k.text << " " << ext;
    }
  }
}

TEST(Declaration, ExternFooLeavesTheTextAfterExtern) {
  FileCompiler t;
  Compile(t, "extern foo;");
  EXPECT_EQ(Rest(t), "foo;");
}

TEST(Declaration, LocalsTakeTheFunctionLabel) {
  FileCompiler t;
  t->decl.currentFunctionLabel = "_func_f";
  EXPECT_EQ(Compile(t, "int i; public int j;"), 1);
  EXPECT_EQ(Compile(t, "public int j;"), 1);
  EXPECT_NE(Symbol(t, "i_func_f"), nullptr);
  EXPECT_EQ(t.File("lst"), "j_func_f\r\n");
  EXPECT_EQ(t.File("h"), "extern int j_func_f;\r\n");
  EXPECT_EQ(t.File("004"), "i_func_f:\r\ndd 0\r\n\r\nj_func_f:\r\ndd 0\r\n\r\n");
}

TEST(Declaration, PublicHeaderLines) {
  FileCompiler t;
  Compile(t, "struct S { int a; };");
  for (const char* s : {"public int *p;", "public char buf[16];", "public struct S s;",
                        "public int n = 3;", "public long q[2] = {1}, r;"}) {
    EXPECT_EQ(Compile(t, s), 1) << s;
  }
  EXPECT_EQ(t.File("h"),
            "extern int *p;\r\nextern char buf[16];\r\nextern struct S  s;\r\n"
            "extern int n;\r\nextern long q[2];\r\nextern long r;\r\n");
  EXPECT_EQ(t.File("lst"), "p\r\nbuf\r\ns\r\nn\r\nq\r\nr\r\n");
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
}

TEST(Declaration, HeadsTheFunctionHandlerRefusesAreNotDeclarations) {
  // A name followed by "(" goes to the function-definition handler; when it does
  // not take the text, the statement is no declaration and the cursor stands at
  // its start for the next handler.
  for (const char* s : {"char *f() {", "int f(x) y;"}) {
    FileCompiler t;
    EXPECT_EQ(Compile(t, s), 0) << s;
    EXPECT_EQ(Rest(t), s) << s;
    EXPECT_EQ(t->decl.symbolCount, 0) << s;
  }
}

TEST(Declaration, StructureFunctionHeadIsLeftUnchanged) {
  FileCompiler t;
  t.SetText("public struct S g(int a) {");
  EXPECT_EQ(CompileStructDeclaration(t.c(), "", 0, 0), 0);
  EXPECT_EQ(Rest(t), "public struct S g(int a) {");
  EXPECT_EQ(t->decl.symbolCount, 0);
}

TEST(Declaration, SecondStarLeavesNoName) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "int **p;"), 1);
  EXPECT_EQ(Rest(t), "*p;");
  EXPECT_EQ(t->decl.symbolCount, 0);
  EXPECT_TRUE(Reported(t.ConsoleText(), "Get Variable error", ""));
  EXPECT_EQ(t.File("004"), "");
}

TEST(Declaration, NameFollowedByNothingExpectedIsDropped) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "int a b;"), 1);
  EXPECT_EQ(Rest(t), "b;");
  EXPECT_EQ(t->decl.symbolCount, 0);
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
}

TEST(Declaration, MissingValueReportsDataError) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "int v = -x;"), 1);
  EXPECT_TRUE(Reported(t.ConsoleText(), "Get data error", ""));
  EXPECT_EQ(t.File("003"), "v:\r\ndb 0 DUP 4 \r\n\r\n");  // an empty value: padding only
  EXPECT_EQ(Rest(t), "-x;");                                // the "-" stays where it was
}

TEST(Declaration, NegativeScalarValue) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "int v = - 12, w;"), 1);
  EXPECT_EQ(t.File("003"), "v:\r\ndd 4294967284\r\n\r\n");
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
}

TEST(Declaration, NotADeclaration) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "  x = 1;"), 0);
  EXPECT_EQ(Rest(t), "x = 1;");
  EXPECT_EQ(Compile(t, "integer = 2;"), 0);
  EXPECT_EQ(Compile(t, "structure = 2;"), 0);
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
}

// A statement is turned down at once unless it opens with one of the declaration
// words as a whole word; a word followed by "_" still counts as the keyword.
TEST(Declaration, OpeningWordDecidesWhetherItIsTried) {
  struct Case {
    const char* text;
    int result;
    const char* rest;  // the text left at the cursor
    int reports;
  } cases[] = {
      {"LINE:3:p.c  fixedx = 1;", 0, "fixedx = 1;", 0},
      {"publicity = 1;", 0, "publicity = 1;", 0},
      {"char2 = 1;", 0, "char2 = 1;", 0},
      {"longer = 1;", 0, "longer = 1;", 0},
      {"i = 1;", 0, "i = 1;", 0},
      {"", 0, "", 0},
      {"int_x;", 1, "_x;", 1},  // "int", no name (error 5), nothing expected follows
      {"public x = 1;", 0, "public x = 1;", 0},
      {"fixed x;", 0, " x;", 1},       // error 47, the plain attempts fail after "fixed"
      {"long(y);", 0, "long(y);", 1},  // no name, then a head the function handler refuses
  };
  for (const Case& k : cases) {
    FileCompiler t;
    EXPECT_EQ(Compile(t, k.text), k.result) << k.text;
    EXPECT_EQ(Rest(t), k.rest) << k.text;
    EXPECT_EQ(ReportCount(t.ConsoleText()), k.reports) << k.text;
  }
  FileCompiler t;
  Compile(t, "LINE:3:p.c  fixedx = 1;");
  EXPECT_EQ(t->out.emit.view(), "LINE:3:p.c\r\n");  // the marker is copied once
}

TEST(Declaration, MarkerReachesTheSectionWithTheItem) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "LINE:4:p.c int a; LINE:5:p.c extern int b;"), 1);
  EXPECT_EQ(Compile(t, "LINE:5:p.c extern int b;"), 1);
  EXPECT_EQ(t.File("004"), "LINE:4:p.c\r\na:\r\ndd 0\r\n\r\n");
  EXPECT_TRUE(t->out.emit.empty());
}

TEST(Structure, DefinitionAloneKeepsNoStorage) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "struct S { int a; char b; };"), 1);
  EXPECT_EQ(StructSize(t.c(), "S"), 5);
  EXPECT_NE(Symbol(t, "S_ST_a"), nullptr);
  EXPECT_EQ(TypeNameOf(t->decl, *Symbol(t, "S_ST_b")), "S");
  EXPECT_EQ(t.File("003") + t.File("004"), "");
}

TEST(Structure, DefinitionWithVariableAndPointer) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "struct S { int a; } s;"), 1);
  EXPECT_EQ(Compile(t, "struct S *p;"), 1);
  EXPECT_EQ(TypeNameOf(t->decl, *Symbol(t, "s")), "S");
  const SymbolRecord* p = Symbol(t, "p");
  EXPECT_EQ(p->kind, SymPointer);
  EXPECT_EQ(TypeNameOf(t->decl, *p), "S");
  EXPECT_EQ(p->sizes[0], 4);
  EXPECT_EQ(t.File("004"), "s:\r\ndd 0\r\n\r\np:\r\ndd 0\r\n\r\n");
}

TEST(Structure, NestedMemberKeepsItsOwnTagAndOffset) {
  FileCompiler t;
  Compile(t, "struct T { int x; char y; };");
  EXPECT_EQ(Compile(t, "struct S { char c; struct T t; int *p, q[3]; } s = {1, 2, 3};"), 1);
  Compiler& c = t.c();
  EXPECT_EQ(StructSize(c, "S"), 1 + 5 + 4 + 12);
  EXPECT_EQ(MemberOffsetOf(c, "S", "t"), 1);
  EXPECT_EQ(MemberOffsetOf(c, "S", "q"), 10);
  EXPECT_EQ(TypeNameOf(t->decl, *Symbol(t, "S_ST_t")), "T");
  EXPECT_EQ(TypeNameOf(t->decl, *Symbol(t, "S_ST_p")), "S");
  EXPECT_EQ(Symbol(t, "S_ST_q")->kind, SymArray);
  // c, t, p, q: byte, five bytes one by one, word, word.
  EXPECT_EQ(t.File("003"), "s:\r\ndb 1\r\ndb 2\r\ndd 3\r\ndb 0 DUP 16 \r\n\r\n");
  EXPECT_EQ(ReportCount(t.ConsoleText()), 0);
}

TEST(Structure, DefinedInAFunctionStaysGlobal) {
  FileCompiler t;
  t->decl.currentFunctionLabel = "_func_main";
  EXPECT_EQ(Compile(t, "struct P { int x; } pt;"), 1);
  EXPECT_NE(Symbol(t, "P_ST_x"), nullptr);
  EXPECT_NE(Symbol(t, "pt_func_main"), nullptr);
  EXPECT_EQ(t->decl.members[1].member.view(), "x");
}

TEST(Structure, BadMemberEndsTheListWithOneReport) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "struct S { int a; foo; int b; };"), 1);
  std::string out = t.ConsoleText();
  EXPECT_EQ(ReportCount(out), 1);
  EXPECT_TRUE(Reported(out, "Expecting declaration of variable after EXTERN", ""));
  EXPECT_EQ(StructSize(t.c(), "S"), 4);
}

TEST(Structure, UnclosedMemberListEnds) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "struct S { int a;"), 1);
  std::string out = t.ConsoleText();
  EXPECT_TRUE(Reported(out, "Expecting declaration of variable after EXTERN", ""));
  EXPECT_TRUE(Reported(out, "Get Variable error", ""));  // no declarator after the list
  EXPECT_EQ(ReportCount(out), 2);
}

TEST(Structure, MissingTagReportsVariableError) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "struct { int a; };"), 1);
  EXPECT_TRUE(Reported(t.ConsoleText(), "Get Variable error", ""));
}

TEST(Structure, FixedDoesNotSurviveTheMemberList) {
  FileCompiler t;
  EXPECT_EQ(Compile(t, "fixed struct S { int a; } s;"), 1);
  EXPECT_EQ(t.File("002"), "");
  EXPECT_EQ(t.File("004"), "s:\r\ndd 0\r\n\r\n");
}

TEST(Structure, DeepNestingIsRefusedWithoutExhaustingTheStack) {
  FileCompiler t;
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "struct a{";
  t.SetText(text);
  CompileDeclaration(t.c(), "", 0);
  EXPECT_TRUE(Reported(t.ConsoleText(), "Blocks nested too deep", ""));
  EXPECT_EQ(t->decl.declarationDepth, 0);
}

}  // namespace
}  // namespace stackcc
