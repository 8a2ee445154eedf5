// The warnings about statements, declarations and the calls and reads of a
// whole program: each program of the tables is compiled with its warning on,
// and the lines and names of the warnings given are compared.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/compiler.h"
#include "io/run_state.h"
#include "stmt/statement_warnings.h"
#include "whole_run.h"

namespace stackcc {
namespace {

using testing::Inputs;
using testing::RunIn;

// "line:name" for every warning line of a run with the option.
std::vector<std::string> WarningsOf(const std::string& program, const std::string& option) {
  std::FILE* out = std::tmpfile();
  Inputs in{{"Sys10.c", "// system\n"}, {"prog.c", program}};
  RunIn(in, {"prog.c", option}, [out](Compiler& c) { c.run.diagnosticsOut = out; });
  std::rewind(out);
  std::string text;
  for (int ch = std::fgetc(out); ch != EOF; ch = std::fgetc(out)) text += static_cast<char>(ch);
  std::fclose(out);
  std::vector<std::string> found;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    std::string line = text.substr(at, end - at);
    at = end == std::string::npos ? text.size() : end + 1;
    std::size_t colon = line.find(':');
    std::size_t lineEnd = line.find(':', colon + 1);
    std::size_t name = line.rfind("[-W");
    if (colon == std::string::npos || lineEnd == std::string::npos || name == std::string::npos)
      continue;
    found.push_back(line.substr(colon + 1, lineEnd - colon - 1) + ":" +
                    line.substr(name + 3, line.size() - name - 4));
  }
  return found;
}

struct Case {
  const char* label;
  const char* option;
  std::string program;
  std::vector<std::string> expected;
};

std::string InMain(const std::string& body) {
  return "int v;\nint next() {\n  return (1);\n}\nint main() {\n" + body + "  return (v);\n}\n";
}

std::vector<Case> Cases() {
  return {
      // A subject is compiled again for each case test.
      {"call", "-Wswitch-subject", InMain("switch (next()) {\n}\n"), {"6:switch-subject"}},
      {"increment", "-Wswitch-subject", InMain("switch (v--) {\n}\n"), {"6:switch-subject"}},
      {"compound", "-Wswitch-subject", InMain("switch (v *= 2) {\n}\n"), {"6:switch-subject"}},
      {"comparisons",
       "-Wswitch-subject",
       InMain("switch (v == 1) {\n}\nswitch (v != 1) {\n}\nswitch (v >= 1) {\n}\n"),
       {}},
      {"group_and_sizeof", "-Wswitch-subject", InMain("switch ((v) + sizeof (v)) {\n}\n"), {}},
      // Keywords end at "_".
      {"do", "-Wkeyword-prefix", InMain("do_step = 1;\n"), {"6:keyword-prefix"}},
      {"else", "-Wkeyword-prefix", InMain("if (v) {\n}\nelse_x = 1;\n"), {"8:keyword-prefix"}},
      {"ASM", "-Wkeyword-prefix", InMain("ASM_x = 1;\n"), {"6:keyword-prefix"}},
      {"fixed", "-Wkeyword-prefix", InMain("fixed_x = 1;\n"), {"6:keyword-prefix"}},
      {"char_declaration", "-Wkeyword-prefix", "char_c;\n", {"1:keyword-prefix"}},
      {"read_whole",
       "-Wkeyword-prefix",
       "int void_x;\nint public_x;\nint main() {\n  void_x = 1;\n  public_x = 2;\n"
       "  return (void_x);\n}\n",
       {}},
      {"no_underscore", "-Wkeyword-prefix", "int doit;\nint main() {\n  doit = 1;\n}\n", {}},
      // Inner braces in the list of an array of structures.
      {"pointer_member",
       "-Winitializer-braces",
       "struct Q { int *p; int n; };\nint t[2];\nstruct Q qs[2] = {{0, 1}, {0, 2}};\n",
       {"3:initializer-braces"}},
      {"array_member_first",
       "-Winitializer-braces",
       "struct A { int v[2]; int n; };\nstruct A as[2] = {{1, 2}, 3, {4, 5}, 6};\n",
       {}},
      {"single_structure",
       "-Winitializer-braces",
       "struct A { int v[2]; int n; };\nstruct A a = {{1, 2}, 3};\n",
       {}},
      // Call cycles, once each, at the head of their first function.
      {"three_cycle",
       "-Wrecursion",
       "int a(int n);\nint b(int n) {\n  return (a(n));\n}\nint c(int n) {\n  return (b(n));\n}\n"
       "int a(int n) {\n  return (c(n) + b(n));\n}\n",
       {"8:recursion"}},
      {"two_cycles",
       "-Wrecursion",
       "int f(int n) {\n  return (f(n));\n}\nint g(int n) {\n  return (g(n) + f(n));\n}\n",
       {"1:recursion", "4:recursion"}},
      {"chain_without_cycle",
       "-Wrecursion",
       "int f(int n) {\n  return (n);\n}\nint g(int n) {\n  return (f(f(n)));\n}\n",
       {}},
      // Locals never read, functions never used.
      {"assigned_only", "-Wunused", "int main() {\n  int x;\n  x = 1;\n}\n", {"2:unused"}},
      {"read_in_condition", "-Wunused", "int main() {\n  int x;\n  if (x) {\n  }\n}\n", {}},
      {"address_taken", "-Wunused", "int *p;\nint main() {\n  int x;\n  p = &x;\n}\n", {}},
      {"compound_counts_as_read", "-Wunused", "int main() {\n  int x;\n  x += 1;\n}\n", {}},
      {"public_and_main",
       "-Wunused",
       "public int shown() {\n  return (1);\n}\nint main() {\n  return (0);\n}\n",
       {}},
      {"only_itself",
       "-Wunused",
       "int loop() {\n  return (loop());\n}\nint main() {\n}\n",
       {"1:unused"}},
      {"taken_as_value",
       "-Wunused",
       "int h;\nint f() {\n  return (1);\n}\nint main() {\n  h = f;\n}\n",
       {}},
  };
}

TEST(StatementWarnings, FireOnTheirConstructsOnly) {
  for (const Case& k : Cases()) {
    EXPECT_EQ(WarningsOf(k.program, k.option), k.expected) << k.label;
  }
}

TEST(StatementWarnings, NoneWithoutTheOption) {
  for (const Case& k : Cases()) {
    EXPECT_TRUE(WarningsOf(k.program, "-Wno-unused").empty()) << k.label;
  }
}

TEST(StatementWarnings, SideEffectOfASubject) {
  struct Effect {
    const char* text;
    const char* effect;
  } effects[] = {
      {"f(x)", "calls 'f'"},
      {"a + get (1)", "calls 'get'"},
      {"x = 1", "assigns a variable"},
      {"x -= 1", "assigns a variable"},
      {"i++", "increments or decrements a variable"},
      {"a == b", ""},
      {"a <= b", ""},
      {"(a) + (int)b", ""},
      {"sizeof (a)", ""},
      {"a - -1", ""},
      {"s[\"f(x)\"]", ""},
  };
  for (const Effect& e : effects) EXPECT_EQ(SideEffectOf(e.text).view(), e.effect) << e.text;
}

}  // namespace
}  // namespace stackcc
