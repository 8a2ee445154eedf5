// Function headers, prototypes, bodies and their ends, and return statements.
#include "decl/tables.h"
#include "stmt_fixture.h"

namespace stackcc::testing {
namespace {

using Errs = std::vector<int>;

const SymbolRecord& Symbol(Pass2& p, std::string_view name) {
  return p.c().decl.symbols[FindSymbol(p.c(), name)];
}

TEST(Functions, VoidFunctionWithoutParameters) {
  Pass2 p;
  EXPECT_EQ(p.Run("void f() {"), "f:\n\n");
  EXPECT_EQ(p.c().decl.currentFunctionLabel.view(), "_func_f");
  EXPECT_EQ(p.c().blocks.blockLevel, 1);
  EXPECT_EQ(p.c().blocks.stack[0].kind, BlockFunction);
  EXPECT_EQ(Symbol(p, "f").sizes[0], 0);
  EXPECT_EQ(Symbol(p, "f").kind, SymFunction);
  EXPECT_EQ(Symbol(p, "f").paramCount, 0);
  EXPECT_EQ(p.Run("}"), "end_function_func_f:\nreturn\n\n");
  EXPECT_TRUE(p.c().decl.currentFunctionLabel.empty());
  EXPECT_EQ(p.c().blocks.blockLevel, 0);
  EXPECT_EQ(p.SideFile("funct1.txt"), "f(,\n");
  EXPECT_EQ(p.Errors(), Errs{});
}

TEST(Functions, ReturnSizeFromTheType) {
  struct Case {
    std::string_view header;
    int size;
    bool pushesZero;
  };
  const Case cases[] = {
      {"f() {", 4, true},      {"int f() {", 4, true},   {"long f() {", 8, true},
      {"char f() {", 1, true}, {"void f() {", 0, false}, {"public void f() {", 0, false},
  };
  for (const Case& k : cases) {
    Pass2 p;
    p.Run(k.header);
    EXPECT_EQ(Symbol(p, "f").sizes[0], k.size) << k.header;
    std::string end = p.Run("}");
    EXPECT_EQ(end.find("push_parameter 0\n") != std::string::npos, k.pushesZero) << k.header;
  }
}

TEST(Functions, PublicPrototypeWritesListingAndHeader) {
  Pass2 p;
  p.Run("public long g(int x);");
  EXPECT_EQ(Symbol(p, "g").sizes[0], 8);
  EXPECT_EQ(Symbol(p, "g").paramCount, 1);
  EXPECT_TRUE(p.c().decl.currentFunctionLabel.empty());
  EXPECT_EQ(p.c().blocks.blockLevel, 0);
  EXPECT_EQ(p.SideFile("prog.lst"), "g\n");
  EXPECT_EQ(p.SideFile("prog.h"), "long g(int x);\n");
}

TEST(Functions, PrototypeParameterCounts) {
  struct Case {
    std::string_view prototype;
    int count;
  };
  const Case cases[] = {
      {"int f();", 0},
      {"int f( );", 0},
      {"int f(int a, char *b);", 2},
      {"int f(void);", 1},
      {"int f(char *s, ...);", 2},
  };
  for (const Case& k : cases) {
    Pass2 p;
    p.Run(k.prototype);
    EXPECT_EQ(Symbol(p, "f").paramCount, k.count) << k.prototype;
  }
}

TEST(Functions, ParametersAreLocalsWithStores) {
  Pass2 p;
  std::string out = p.Run("int add(int a, char *s) {");
  EXPECT_EQ(Symbol(p, "add").paramCount, 2);
  EXPECT_EQ(Symbol(p, "a_func_add").sizes[0], 4);
  EXPECT_EQ(Symbol(p, "s_func_add").kind, SymPointer);
  // One store per parameter, in the order written, each keeping its value.
  EXPECT_EQ(out,
            "add:\n"
            "push_parameter a_func_add\npeek 4\nnull_last_line\npoke 4\ndrop 4\n"
            "null_last_line\n"
            "push_parameter s_func_add\npeek 4\nnull_last_line\npoke 4\ndrop 4\n"
            "null_last_line\n\n");
  EXPECT_EQ(p.SideFile("funct1.txt"), "add(,int a, char *s\n");
  EXPECT_EQ(p.Errors(), Errs{});
}

TEST(Functions, HeaderInsideAParameterIsNotCompiled) {
  Pass2 p;
  p.Run("int g(int cb(int), int b) {");
  EXPECT_EQ(Symbol(p, "g").paramCount, 1);
  EXPECT_EQ(p.c().blocks.blockLevel, 1);
  EXPECT_EQ(p.c().decl.currentFunctionLabel.view(), "_func_g");
}

TEST(Functions, VariadicMarkMustFollowTheComma) {
  Pass2 p;
  p.Run("int p(char *fmt,...) {");
  EXPECT_EQ(Symbol(p, "p").paramCount, -1);
  EXPECT_EQ(p.SideFile("funct1.txt"), "p(,char *fmt,...\n");
}

TEST(Functions, DefinitionAfterPrototypeChecksSizeAndCount) {
  struct Case {
    std::string_view program;
    Errs errors;
  };
  const Case cases[] = {
      // The store compiled for the item "void" names no variable.
      {"void h(void); void h(void) {", {kErrParamCount, kErrNotFound}},
      {"int k(); char k() {", {kErrFunctionSize}},
      {"int k(int a); char k(int a) {", {kErrFunctionSize}},
      {"int k(int a); int k(int a, int b) {", {kErrParamCount}},
      {"int k(); int k() {", {}},
  };
  for (const Case& k : cases) {
    Pass2 p;
    p.Run(k.program);
    EXPECT_EQ(p.Errors(), k.errors) << k.program;
    EXPECT_EQ(p.c().blocks.blockLevel, 1) << k.program;
  }
}

TEST(Functions, CallStatementIsNotAHeader) {
  Pass2 p;
  p.EnterFunction("main", 0);
  p.c().run.lineMarkerFlag = 1;
  std::string out(p.Dispatch("LINE:4:p.c print (x);"));
  EXPECT_TRUE(out.starts_with("LINE:4:p.c\r\n")) << out;
  EXPECT_NE(out.find("gosub\r\n"), std::string::npos) << out;
  EXPECT_EQ(p.c().decl.currentFunctionLabel.view(), "_func_main");
  EXPECT_EQ(p.c().blocks.stack[1].counter, 1);
  EXPECT_EQ(p.c().blocks.blockLevel, 1);
}

// A handler that looks past a name and gives up takes back only its position:
// each marker it met stays in the emit buffer, so the label handler and the
// function handler each copy a marker that stands after the name.
TEST(Functions, MarkersMetBeforeGivingUpStay) {
  struct Case {
    std::string_view text;
    std::string_view start;  // how the emitted code begins
    int counter;             // the level's counter afterwards
  };
  const Case cases[] = {
      {"LINE:6:p.c print LINE:7:p (x);", "LINE:6:p.c\r\nLINE:7:p\r\nLINE:7:p\r\n", 1},
      {"LINE:2:p.c y LINE:3:p = 1;", "LINE:2:p.c\r\nLINE:3:p\r\nLINE:3:p\r\n", 0},
      {"LINE:2:p.c f(x) LINE:3:p = 1;", "LINE:2:p.c\r\nLINE:3:p\r\n", 1},
  };
  for (const Case& k : cases) {
    Pass2 p;
    p.EnterFunction("main", 0);
    p.c().run.lineMarkerFlag = 1;
    std::string out(p.Dispatch(k.text));
    EXPECT_TRUE(out.starts_with(k.start)) << k.text << "\n" << out;
    EXPECT_EQ(out.find("\nLINE:", k.start.size()), std::string::npos) << k.text << "\n" << out;
    EXPECT_EQ(p.c().blocks.stack[1].counter, k.counter) << k.text;
    EXPECT_EQ(p.c().decl.currentFunctionLabel.view(), "_func_main") << k.text;
  }
}

TEST(Functions, EmptyParameterListWritesTheMarkerOnce) {
  const std::string_view headers[] = {"LINE:1:p.c int main() {", "LINE:1:p.c int main( ) {"};
  for (std::string_view header : headers) {
    Pass2 p;
    EXPECT_EQ(p.Dispatch(header), "main:\r\nLINE:1:p.c\r\n") << header;
    EXPECT_EQ(Symbol(p, "main").paramCount, 0) << header;
  }
}

TEST(Functions, OverlongFunctionNameIsReportedAndCut) {
  std::string name(40, 'f');
  Pass2 p;
  p.EnterFunction("main", 0);
  p.Run(name + "(x);");  // a call: no report
  EXPECT_EQ(p.Errors(), Errs{});
  p.Run("}");
  p.Run("void " + name + "() {");
  EXPECT_EQ(p.Errors(), Errs{kErrFunctionName});
  EXPECT_EQ(p.c().decl.currentFunctionLabel.view(), "_func_" + name.substr(0, 33));
  p.Run("}");
  EXPECT_EQ(p.Errors(), Errs{kErrFunctionName});
}

TEST(Functions, OverlongParameterIsReportedAndSkipped) {
  Pass2 p;
  p.Run("int f(int a, int " + std::string(240, 'b') + ") {");
  EXPECT_EQ(p.Errors(), Errs{kErrParameterLength});
  EXPECT_EQ(p.c().blocks.blockLevel, 1);
}

TEST(Functions, ReturnRules) {
  struct Case {
    int size;
    std::string_view statement;
    std::string_view tail;  // how the emitted code ends
    Errs errors;
  };
  const Case cases[] = {
      {0, "return;", "return\r\n", {}},
      {0, "return (x);", "", {kErrReturnValue}},
      {4, "return;", "null_last_line\r\nreturn\r\n", {}},
      {4, "return (x);", "null_last_line\r\nreturn\r\n", {}},
      {4, "return x;", "null_last_line\r\nreturn\r\n", {}},
  };
  for (const Case& k : cases) {
    Pass2 p;
    p.EnterFunction("f", k.size);
    std::string out(p.Dispatch(k.statement));
    EXPECT_TRUE(out.ends_with(k.tail)) << k.statement << "\n" << out;
    if (k.tail.empty()) {
      EXPECT_EQ(out, "") << k.statement;
    }
    EXPECT_EQ(p.Errors(), k.errors) << k.statement;
  }
}

TEST(ParamStoreText, BlanksTypeWordsAndStars) {
  struct Case {
    const char* param;
    const char* store;
  } const cases[] = {
      {"int *count", "$     count"},
      {"struct S s", "$         s"},
      {"char c", "$     c"},
      {"long  v", "$      v"},
      {"public int x", "$           x"},
      {"int*p", "$    p"},
      {"struct node_1 *n", "$               n"},
      {"x", "$x"},
      {"void", "$void"},
      // Type words count only as whole words.
      {"struct Point *p", "$              p"},
      {"struct Mint m", "$            m"},
      {"int interval", "$    interval"},
      {"char *charge", "$      charge"},
      {"long longest", "$     longest"},
      {"int publicity", "$    publicity"},
      {"print", "$print"},
  };
  for (const Case& k : cases) EXPECT_EQ(ParamStoreText(k.param).view(), k.store) << k.param;
}

TEST(ParamStoreText, OverlongParameterIsCutToTheField) {
  std::string param = "int " + std::string(200, 'a');
  FixedText<120> r = ParamStoreText(param);
  EXPECT_EQ(r.size(), 119u);
  EXPECT_EQ(r.view().substr(0, 5), "$    ");
}

}  // namespace
}  // namespace stackcc::testing
