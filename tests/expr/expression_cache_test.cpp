// A repeated statement may be given the code it got before; these cases change
// what the code depends on between the two compiles, and compare the second
// compile with the same statement compiled once by a compiler that has seen the
// change but never the statement.
#include <functional>
#include <string>
#include <string_view>

#include "expr_test_util.h"

namespace stackcc::testing {
namespace {

void DeclareIn(Compiler& c, std::string_view name, int elemSize, int kind, int paramCount = -1) {
  NameBuffer n(name);
  DeclareSymbol(c, n, elemSize, kind, kind == SymArray ? 1 : 0, kind == SymPointer ? 2 : 1,
                elemSize, "", 0, paramCount);
}

void Enter(Compiler& c, std::string_view function) {
  c.decl.currentFunctionLabel.assign("_func_");
  c.decl.currentFunctionLabel.append(function);
}

struct Outcome {
  std::string code;
  int reports = 0;
};

Outcome CompileOnce(TestCompiler& tc, std::string_view text) {
  int before = tc->diag.reportCount;
  ClearEmit(tc.c());
  CompileExpression(tc.c(), text);
  return {std::string(tc->out.emit.view()), tc->diag.reportCount - before};
}

struct CacheCase {
  const char* name;
  const char* statement;
  std::function<void(Compiler&)> setup;
  std::function<void(Compiler&)> change;
};

void GlobalsAB(Compiler& c) {
  DeclareIn(c, "a", 4, SymScalar);
  DeclareIn(c, "b", 1, SymScalar);
  Enter(c, "f");
}

const CacheCase kCases[] = {
    {"nothing changed", "a = a + b", GlobalsAB, [](Compiler&) {}},
    {"a local now hides a global", "a = a + b", GlobalsAB,
     [](Compiler& c) { DeclareIn(c, "a_func_f", 8, SymScalar); }},
    {"another function", "a = a + b",
     [](Compiler& c) {
       GlobalsAB(c);
       DeclareIn(c, "b_func_f", 8, SymScalar);
     },
     [](Compiler& c) { Enter(c, "g"); }},
    {"outside every function", "a = b",
     [](Compiler& c) {
       GlobalsAB(c);
       DeclareIn(c, "b_func_f", 8, SymScalar);
     },
     [](Compiler& c) { c.decl.currentFunctionLabel.clear(); }},
    {"dimensions recorded later", "a = t[1][2]",
     [](Compiler& c) {
       GlobalsAB(c);
       DeclareIn(c, "t", 4, SymArray);
       RecordDimensions(c, "t", "[4][5]");
     },
     [](Compiler& c) { RecordDimensions(c, "t", "[4][7]"); }},
    {"parameter count set later", "h(1)",
     [](Compiler& c) {
       GlobalsAB(c);
       DeclareIn(c, "h", 4, SymFunction, 1);
     },
     [](Compiler& c) { SetParamCount(c, "h", 2); }},
    {"a member added to the structure", "a = s.y",
     [](Compiler& c) {
       NameBuffer x("x");
       DeclareSymbol(c, x, 4, SymScalar, 0, 1, 4, "pt", 1, -1, "");
       NameBuffer s("s");
       DeclareSymbol(c, s, 4, SymScalar, 0, 1, 4, "pt", 0, -1, "");
       GlobalsAB(c);
     },
     [](Compiler& c) {
       NameBuffer y("y");
       DeclareSymbol(c, y, 4, SymScalar, 0, 1, 4, "pt", 1, -1, "");
     }},
    {"an unknown name is reported every time", "a = zz + 1", GlobalsAB, [](Compiler&) {}},
    {"a malformed statement is reported every time", "a = (b", GlobalsAB, [](Compiler&) {}},
    {"a string literal is placed every time", "a = \"hi\"", GlobalsAB, [](Compiler&) {}},
};

TEST(ExpressionCache, RepeatedStatementMatchesAFreshCompile) {
  for (const CacheCase& k : kCases) {
    TestCompiler warm;
    k.setup(warm.c());
    Outcome first = CompileOnce(warm, k.statement);
    k.change(warm.c());
    Outcome second = CompileOnce(warm, k.statement);

    TestCompiler cold;
    k.setup(cold.c());
    if (std::string_view(k.statement).find('"') != std::string_view::npos) {
      CompileOnce(cold, k.statement);  // the literal counter has moved on once
    }
    k.change(cold.c());
    Outcome expected = CompileOnce(cold, k.statement);

    EXPECT_EQ(second.code, expected.code) << k.name;
    EXPECT_EQ(second.reports, expected.reports) << k.name;
    if (std::string_view(k.name).find("reported") != std::string_view::npos) {
      EXPECT_GT(first.reports, 0) << k.name;
      EXPECT_EQ(second.reports, first.reports) << k.name;
    }
  }
}

// The cases above must really change the code, or they would prove nothing.
TEST(ExpressionCache, ChangesBetweenTheCompilesChangeTheCode) {
  for (const CacheCase& k : kCases) {
    std::string_view name(k.name);
    if (name == "nothing changed" || name.find("every time") != std::string_view::npos) continue;
    TestCompiler before;
    k.setup(before.c());
    TestCompiler after;
    k.setup(after.c());
    k.change(after.c());
    Outcome a = CompileOnce(before, k.statement);
    Outcome b = CompileOnce(after, k.statement);
    EXPECT_TRUE(a.code != b.code || a.reports != b.reports) << k.name;
  }
}

TEST(ExpressionCache, StatementsBeyondTheKeptSizesStillCompile) {
  TestCompiler tc;
  GlobalsAB(tc.c());
  std::string longText = "a = b";
  while (longText.size() <= kCachedTextCapacity) longText += " + b";
  Outcome first = CompileOnce(tc, longText);
  Outcome second = CompileOnce(tc, longText);
  EXPECT_EQ(first.reports, 0);
  EXPECT_EQ(second.code, first.code);
}

TEST(ExpressionCache, ManyDistinctStatementsOverflowTheEntriesSafely) {
  TestCompiler tc;
  GlobalsAB(tc.c());
  std::string firstCode;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 3 * kCachedExpressions; ++i) {
      std::string text = "a = b + " + std::to_string(i);
      Outcome r = CompileOnce(tc, text);
      ASSERT_EQ(r.reports, 0) << text;
      ASSERT_NE(r.code.find("push_parameter " + std::to_string(i) + "\r\n"), std::string::npos)
          << text;
      if (i == 0) {
        if (round == 0) firstCode = r.code;
        EXPECT_EQ(r.code, firstCode);
      }
    }
  }
}

}  // namespace
}  // namespace stackcc::testing
