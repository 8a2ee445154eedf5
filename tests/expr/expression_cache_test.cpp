// A repeated statement may be given the code it got before; these cases change
// what the code depends on between the two compiles, and compare the second
// compile with the same statement compiled once by a compiler that has seen the
// change but never the statement.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "expr_test_util.h"
#include "whole_run.h"

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

// A structure of tag with a member "x" and a global "s" of it; the change
// adds member to the structure.
CacheCase MemberAdded(const char* name, const char* statement, const char* tag,
                      const char* member) {
  return {name, statement,
          [tag](Compiler& c) {
            NameBuffer x("x");
            DeclareSymbol(c, x, 4, SymScalar, 0, 1, 4, tag, 1, -1, "");
            NameBuffer s("s");
            DeclareSymbol(c, s, 4, SymScalar, 0, 1, 4, tag, 0, -1, "");
            GlobalsAB(c);
          },
          [tag, member](Compiler& c) {
            NameBuffer added(member);
            DeclareSymbol(c, added, 4, SymScalar, 0, 1, 4, tag, 1, -1, "");
          }};
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
    MemberAdded("a member added to the structure", "a = s.y", "pt", "y"),
    {"the next function's local of the same shape", "a = c + b",
     [](Compiler& c) {
       GlobalsAB(c);
       DeclareIn(c, "c_func_f", 4, SymScalar);
     },
     [](Compiler& c) {
       DeclareIn(c, "c_func_g", 4, SymScalar);
       Enter(c, "g");
     }},
    {"the next function's local is longer", "a = c + b",
     [](Compiler& c) {
       GlobalsAB(c);
       DeclareIn(c, "c_func_f", 4, SymScalar);
     },
     [](Compiler& c) {
       DeclareIn(c, "c_func_g", 8, SymScalar);
       Enter(c, "g");
     }},
    {"the next function sees the global instead", "a = c + b",
     [](Compiler& c) {
       DeclareIn(c, "c", 4, SymScalar);
       GlobalsAB(c);
       DeclareIn(c, "c_func_f", 4, SymScalar);
     },
     [](Compiler& c) { Enter(c, "g"); }},
    {"the next function's name is longer", "a = c + b",
     [](Compiler& c) {
       GlobalsAB(c);
       DeclareIn(c, "c_func_f", 4, SymScalar);
     },
     [](Compiler& c) {
       DeclareIn(c, "c_func_gh", 4, SymScalar);
       Enter(c, "gh");
     }},
    {"the next function's local array has other dimensions", "a = t[1][2] + t[0][1]",
     [](Compiler& c) {
       GlobalsAB(c);
       DeclareIn(c, "t_func_f", 4, SymArray);
       RecordDimensions(c, "t_func_f", "[4][5]");
     },
     [](Compiler& c) {
       DeclareIn(c, "t_func_g", 4, SymArray);
       RecordDimensions(c, "t_func_g", "[5][4]");  // as many elements
       Enter(c, "g");
     }},
    {"the next function's local is a pointer", "a = c[1] + b",
     [](Compiler& c) {
       GlobalsAB(c);
       DeclareIn(c, "c_func_f", 4, SymArray);
       RecordDimensions(c, "c_func_f", "[4]");
     },
     [](Compiler& c) {
       DeclareIn(c, "c_func_g", 4, SymPointer);
       Enter(c, "g");
     }},
    {"a member of the next function's other structure", "a = s.y + s.x",
     [](Compiler& c) {
       for (const char* tag : {"pt", "pq"}) {
         for (const char* m : {"x", "y"}) {
           NameBuffer member(std::string_view(tag) == "pq" && *m == 'x' ? "y" : m);
           if (std::string_view(tag) == "pq" && *m == 'y') member = "x";
           DeclareSymbol(c, member, 4, SymScalar, 0, 1, 4, tag, 1, -1, "");
         }
       }
       GlobalsAB(c);
       NameBuffer s("s_func_f");
       DeclareSymbol(c, s, 8, SymScalar, 0, 1, 8, "pt", 0, -1, "");
     },
     [](Compiler& c) {
       NameBuffer s("s_func_g");
       DeclareSymbol(c, s, 8, SymScalar, 0, 1, 8, "pq", 0, -1, "");
       Enter(c, "g");
     }},
    {"a local's stored name written out (unchanged code)", "a = c_func_f + b",
     [](Compiler& c) {
       GlobalsAB(c);
       DeclareIn(c, "c_func_f", 4, SymScalar);
       DeclareIn(c, "c_func_g", 8, SymScalar);
     },
     [](Compiler& c) { Enter(c, "g"); }},
    // Names longer than the journal keeps: the statement cannot be checked
    // again, so it must be compiled again.
    {"a long name now hidden by a local", "a = a_name_longer_than_what_the_journal_keeps_of_it + b",
     [](Compiler& c) {
       GlobalsAB(c);
       DeclareIn(c, "a_name_longer_than_what_the_journal_keeps_of_it", 4, SymScalar);
     },
     [](Compiler& c) {
       DeclareIn(c, "a_name_longer_than_what_the_journal_keeps_of_it_func_f", 8, SymScalar);
     }},
    MemberAdded("a long member added to the structure",
                "a = s.a_member_longer_than_the_journal_keeps", "pt",
                "a_member_longer_than_the_journal_keeps"),
    MemberAdded("a member of a long structure tag added", "a = s.y",
                "a_structure_tag_longer_than_the_journal_keeps", "y"),
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
    if (name == "nothing changed" || name.find("every time") != std::string_view::npos ||
        name.find("unchanged") != std::string_view::npos) {
      continue;
    }
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

// Statements of one shape share their code; each gets its own numbers.
TEST(ExpressionCache, StatementsOfOneShapeGetTheirOwnNumbers) {
  const char* families[][3] = {
      {"a = b + 1", "a = b + 250", "a = b + 0"},
      {"a = t[1][2]", "a = t[3][0]", "a = t[0][4]"},
      {"a = -5", "a = -77", "a = -0"},
      {"a = 1 + 2 * 3", "a = 3 + 2 * 1", "a = 10 + 20 * 30"},
      {"a = b+1", "a = b+2", "a = b+33"},
      {"a = 007", "a = 7", "a = 0"},
  };
  for (const auto& family : families) {
    TestCompiler warm;
    GlobalsAB(warm.c());
    DeclareIn(warm.c(), "t", 4, SymArray);
    RecordDimensions(warm.c(), "t", "[4][5]");
    for (const char* statement : family) {
      Outcome reused = CompileOnce(warm, statement);
      TestCompiler cold;
      GlobalsAB(cold.c());
      DeclareIn(cold.c(), "t", 4, SymArray);
      RecordDimensions(cold.c(), "t", "[4][5]");
      Outcome expected = CompileOnce(cold, statement);
      EXPECT_EQ(reused.code, expected.code) << statement;
      EXPECT_EQ(reused.reports, expected.reports) << statement;
    }
  }
}

// A text longer than an entry keeps, and a short text whose code is longer.
TEST(ExpressionCache, StatementsBeyondTheKeptSizesStillCompile) {
  std::string longText = "a = b";
  while (longText.size() <= kCachedTextCapacity) longText += " + b";
  std::string longCode = "a=b";
  TestCompiler probe;
  GlobalsAB(probe.c());
  while (longCode.size() < kCachedTextCapacity &&
         CompileOnce(probe, longCode).code.size() <= kCachedCodeCapacity) {
    longCode += "+b";
  }
  ASSERT_LT(longCode.size(), static_cast<std::size_t>(kCachedTextCapacity));
  for (const std::string& text : {longText, longCode}) {
    TestCompiler tc;
    GlobalsAB(tc.c());
    Outcome first = CompileOnce(tc, text);
    Outcome second = CompileOnce(tc, text);
    EXPECT_EQ(first.reports, 0) << text;
    EXPECT_EQ(second.code, first.code) << text;
  }
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

// Entries are handed out in turn, but one given out since its last turn is
// passed over: a statement that keeps coming back outlives any number of
// statements met once, and one that does not come back is replaced.
TEST(ExpressionCache, StatementsThatComeBackOutliveThoseMetOnce) {
  TestCompiler tc;
  GlobalsAB(tc.c());
  const Compiler& c = tc.c();
  LookupJournal none;
  for (bool comesBack : {true, false}) {
    auto cache = std::make_unique<ExpressionCache>();
    ASSERT_NE(cache->Store(c, "hot", 0, "push_parameter a\r\n", 0, c.decl.generation, none),
              nullptr);
    for (int i = 0; i < 3 * kCachedExpressions; ++i) {
      if (comesBack) {
        ASSERT_NE(cache->Find(tc.c(), "hot"), nullptr) << i;
      }
      std::string once = "once" + std::to_string(i);
      ASSERT_NE(cache->Store(c, once, 0, "x\r\n", 0, c.decl.generation, none), nullptr);
    }
    EXPECT_EQ(cache->Find(tc.c(), "hot") != nullptr, comesBack);
  }
}

void Reusing(Compiler& c) {
  c.driver.reuseExpressionCode = true;
}
void CompilingAfresh(Compiler& c) {
  c.driver.reuseExpressionCode = false;
}

TEST(ExpressionReuse, EveryGoldenCaseLeavesTheSameFiles) {
  auto compare = [](const std::string& name, const Inputs& inputs,
                    const std::vector<std::string>& args) {
    ExpectSameRuns(name, inputs, args, CompilingAfresh, Reusing);
  };
  EXPECT_GT(ForEachGoldenCase(compare), 40);
}

// Functions that say the same statements over names of other shapes from one
// function to the next: locals of other sizes and kinds, a global where a local
// was, arrays of other dimensions, structures of other layouts, labels of other
// lengths (f9, f10, f100), names written in their stored form, and errors.
std::string ManyFunctions(int count) {
  std::string s =
      "struct P { int x; long y; };\nstruct Q { long y; int x; };\n"
      "int c;\nlong w;\nint t[4][5];\nstruct P s;\nint q(int a);\n";
  const char* locals[] = {"  int c;\n",  "  long c;\n", "",
                          "  int *c;\n", "  char c;\n", "  int c[6];\n"};
  const char* arrays[] = {"  int t[4][5];\n", "  int t[5][4];\n", "", "  long t[2][3];\n"};
  const char* structures[] = {"  struct P s;\n", "  struct Q s;\n", ""};
  for (int f = 0; f < count; ++f) {
    s += "int f";
    s += std::to_string(f);
    s += "(int a, int b) {\n";
    s += locals[f % 6];
    s += arrays[f % 4];
    s += structures[f % 3];
    s += "  c = c + 1;\n  a = t[1][2] + b;\n  t[a][b] = c;\n  s.x = s.y + a;\n";
    s += "  w = w + c;\n  b = a * 3 + c;\n  b = q(a) + c_func_f1;\n  c = 0;\n";
    // The same shapes with other numbers in every function.
    auto number = [&s](int value) { s += std::to_string(value); };
    s += "  b = a * ";
    number(f % 7);
    s += " - ";
    number(f * 13);
    s += ";\n  t[";
    number(f % 4);
    s += "][";
    number(f % 5);
    s += "] = -";
    number(f);
    s += ";\n  c = (a - ";
    number(f);
    s += ") & 0";
    number(f % 8);
    s += ";\n";
    if (f > 0) {
      s += "  c = c + f";
      s += std::to_string(f - 1);
      s += "(a, b);\n";
    }
    s += "  if (c > 3) {\n    c = c - 1;\n  }\n  return (b);\n}\n";
  }
  return s;
}

TEST(ExpressionReuse, ManyFunctionsLeaveTheSameFiles) {
  Inputs inputs{{"prog.c", ManyFunctions(120)}, {"Sys10.c", ""}};
  ExpectSameRuns("many functions", inputs, {"prog.c", "-d"}, CompilingAfresh, Reusing);
  RunOutcome run = RunIn(inputs, {"prog.c", "-d"}, Reusing);
  // The program must compile mostly clean, or it would test little.
  EXPECT_GT(run.files["prog.001"].size(), 100000u);
}

}  // namespace
}  // namespace stackcc::testing
