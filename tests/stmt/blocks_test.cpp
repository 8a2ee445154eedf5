// The block stack: label emitters, counters that are never reset, block closing
// and the limits of the stack.
#include "stmt_fixture.h"

namespace stackcc::testing {
namespace {

using Errs = std::vector<int>;

TEST(Blocks, EmittersJoinSuffixToLevel) {
  Pass2 p;
  struct Case {
    std::string_view suffix;
    void (*emit)(Compiler&, std::string_view);
    std::string_view expected;
  };
  const Case cases[] = {
      {"x", EmitControlLabel, "while_stlev_x1_ctlbl_3:\r\n"},
      {"", EmitControlLabel, "while_stlev_1_ctlbl_3:\r\n"},
      {"", EmitGoto, "goto while_stlev_1_ctlbl_3\r\n"},
      {"", EmitGotoTrue, "null_last_line\r\ngoto_true while_stlev_1_ctlbl_3\r\n"},
      {"O", EmitGotoFalse, "null_last_line\r\ngoto_false while_stlev_O1_ctlbl_3\r\n"},
      {"x", EmitPlainGoto, "goto while\r\n"},
  };
  for (const Case& k : cases) {
    p.c().run.targetSuffix.assign(k.suffix);
    p.c().blocks.blockLevel = 1;
    p.c().blocks.labelNumber = 3;
    ClearEmit(p.c());
    k.emit(p.c(), "while");
    EXPECT_EQ(p.c().out.emit.view(), k.expected);
  }
}

TEST(Blocks, IfElseLabels) {
  Pass2 p;
  p.EnterFunction("f", 0);
  EXPECT_EQ(p.ControlLines("if (a) { b = 1; } else { b = 2; }"),
            "goto_false end_if1_stlev_1_ctlbl_1\n"
            "goto end_if2_stlev_1_ctlbl_1\n"
            "end_if1_stlev_1_ctlbl_1:\n"
            "end_if2_stlev_1_ctlbl_1:\n");
  EXPECT_EQ(p.c().blocks.blockLevel, 1);
}

TEST(Blocks, ElsewhereSeesElseButOpensNoElse) {
  Pass2 p;
  p.EnterFunction("f", 0);
  EXPECT_EQ(p.ControlLines("if (a) { b = 1; } elsewhere = 1;"),
            "goto_false end_if1_stlev_1_ctlbl_1\n"
            "goto end_if2_stlev_1_ctlbl_1\n"
            "end_if1_stlev_1_ctlbl_1:\n");
  EXPECT_EQ(p.c().blocks.blockLevel, 1);
}

TEST(Blocks, WhileLabelIsWrittenBeforeItsCondition) {
  Pass2 p;
  p.EnterFunction("f", 0);
  p.c().blocks.stack[1].counter = 4;
  std::string out = p.Run("while (i < 10) { i = i + 1; }");
  std::size_t label = out.find("while_stlev_1_ctlbl_5:\n\n");
  ASSERT_NE(label, std::string::npos) << out;
  EXPECT_LT(label, out.find("goto_false end_while_stlev_1_ctlbl_5"));
  EXPECT_NE(out.find("goto while_stlev_1_ctlbl_5\nend_while_stlev_1_ctlbl_5:\n"),
            std::string::npos);
}

TEST(Blocks, CountersAreNeverReset) {
  Pass2 p;
  p.EnterFunction("f", 0);
  p.Run("while (a) { } }");
  EXPECT_EQ(p.c().blocks.blockLevel, 0);
  p.EnterFunction("g", 0);
  EXPECT_EQ(p.ControlLines("while (a) { }"),
            "while_stlev_1_ctlbl_2:\n"
            "goto_false end_while_stlev_1_ctlbl_2\n"
            "goto while_stlev_1_ctlbl_2\n"
            "end_while_stlev_1_ctlbl_2:\n");
}

TEST(Blocks, CallStatementAdvancesTheLevelCounter) {
  Pass2 p;
  p.EnterFunction("f", 0);
  EXPECT_EQ(p.ControlLines("print(x); if (a) { }"),
            "goto_false end_if1_stlev_1_ctlbl_2\n"
            "end_if1_stlev_1_ctlbl_2:\n");
}

TEST(Blocks, DoClosesWithItsTest) {
  Pass2 p;
  p.EnterFunction("f", 0);
  EXPECT_EQ(p.ControlLines("do { x = 1; } while (x);"),
            "do_stlev_1_ctlbl_1:\n"
            "test_do_while_stlev_1_ctlbl_1:\n"
            "goto_true do_stlev_1_ctlbl_1\n"
            "end_do_while_stlev_1_ctlbl_1:\n");
  EXPECT_EQ(p.Errors(), Errs{});
}

TEST(Blocks, DoClosingErrors) {
  struct Case {
    std::string_view text;
    Errs errors;
    bool loopsBack;
  };
  const Case cases[] = {
      {"do { } x = 1;", {kErrMissingWhile}, false},
      {"do { } while (x) x = 1;", {kErrMissingSemicolon}, true},
      {"do { } while ;", {kErrParentheses}, false},
  };
  for (const Case& k : cases) {
    Pass2 p;
    p.EnterFunction("f", 0);
    std::string out = p.Run(k.text);
    EXPECT_EQ(p.Errors(), k.errors) << k.text;
    EXPECT_EQ(out.find("goto_true") != std::string::npos, k.loopsBack) << k.text;
    EXPECT_EQ(p.c().blocks.blockLevel, 1) << k.text;
  }
}

TEST(Blocks, ClosingBraceWithoutBlockIsReported) {
  Pass2 p;
  p.Run("} x = 1;");
  EXPECT_EQ(p.Errors(), Errs{kErrBlockUnderflow});
  EXPECT_EQ(p.c().blocks.blockLevel, 0);
}

// At the end of the text each open function is named once, whatever is open
// inside it; blocks open outside every function are reported once more.
TEST(Blocks, BlocksOpenAtTheEndAreReported) {
  struct Case {
    std::string_view program;
    std::vector<std::string> names;
  } cases[] = {
      {"int main() { x = 1; }", {}},
      {"int main() { while (a) { if (b) { x = 1;", {"main"}},
      {"void f() { } int main() {", {"main"}},
      {"void f() { void g() { x = 1; } ", {"f"}},
      {"void f() { void g() { x = 1; ", {"g", "f"}},
      {"if (a) { x = 1;", {""}},
      {"if (a) { int main() { x = 1;", {"main", ""}},
  };
  for (const Case& k : cases) {
    Pass2 p;
    p.Run(k.program);
    ReportOpenBlocks(p.c());
    std::vector<std::string> names;
    for (std::size_t at = 0; (at = p.tc.ConsoleText().find("data: ", at)) != std::string::npos;) {
      at += 6;
      names.emplace_back(p.tc.ConsoleText().substr(at, p.tc.ConsoleText().find('\r', at) - at));
    }
    EXPECT_EQ(names, k.names) << k.program;
    for (int code : p.Errors()) EXPECT_EQ(code, kErrMissingClosingBrace) << k.program;
  }
}

TEST(Blocks, NestingBeyondTheStackIsReportedAndBalanced) {
  Pass2 p;
  std::string program;
  for (int i = 0; i < 22; ++i) program += "if (a) { ";
  for (int i = 0; i < 22; ++i) program += "} ";
  std::string out = p.Run(program);
  EXPECT_EQ(p.Errors(), (Errs{kErrBlockNesting, kErrBlockNesting, kErrBlockNesting}));
  EXPECT_EQ(p.c().blocks.blockLevel, 0);
  EXPECT_EQ(p.c().blocks.overflowDepth, 0);
  EXPECT_NE(out.find("end_if1_stlev_18_ctlbl_1:"), std::string::npos);
  EXPECT_EQ(out.find("stlev_19_"), std::string::npos);
  p.Run("}");
  EXPECT_EQ(p.Errors().back(), kErrBlockUnderflow);
}

TEST(Blocks, MissingBraceOpensNoBlock) {
  Pass2 p;
  const std::string_view heads[] = {"if (a) x;", "else x;",     "else if (a) {", "while (a) x;",
                                    "do x;",     "for (;;) x;", "switch (a) x;"};
  for (std::string_view head : heads) {
    ClearEmit(p.c());
    int before = p.c().blocks.blockLevel;
    p.Dispatch(head);
    EXPECT_EQ(p.Errors().back(), kErrMissingBrace) << head;
    EXPECT_EQ(p.c().blocks.blockLevel, before) << head;
  }
}

TEST(Blocks, HeadWithoutGroupCompilesNoCondition) {
  Pass2 p;
  p.EnterFunction("f", 0);
  EXPECT_EQ(p.ControlLines("if { x = 1; } while { } for { }"),
            "end_if1_stlev_1_ctlbl_1:\n"
            "while_stlev_1_ctlbl_2:\n"
            "goto while_stlev_1_ctlbl_2\n"
            "end_while_stlev_1_ctlbl_2:\n"
            "goto out_for_stlev_1_ctlbl_3\n"
            "for_stlev_1_ctlbl_3:\n"
            "out_for_stlev_1_ctlbl_3:\n"
            "goto for_stlev_1_ctlbl_3\n"
            "end_for_stlev_1_ctlbl_3:\n");
  EXPECT_EQ(p.Errors(), (Errs{kErrParentheses, kErrParentheses, kErrParentheses}));
  EXPECT_EQ(p.c().blocks.blockLevel, 1);
}

TEST(Blocks, ForLayout) {
  Pass2 p;
  p.EnterFunction("f", 0);
  EXPECT_EQ(p.ControlLines("for (i = 0; i < 3; i = i + 1) { }"),
            "goto out_for_stlev_1_ctlbl_1\n"
            "for_stlev_1_ctlbl_1:\n"
            "out_for_stlev_1_ctlbl_1:\n"
            "goto_false end_for_stlev_1_ctlbl_1\n"
            "goto for_stlev_1_ctlbl_1\n"
            "end_for_stlev_1_ctlbl_1:\n");
}

TEST(Blocks, ForWithoutConditionHasNoTest) {
  const std::string_view heads[] = {"for (;;) { }", "for (i = 0) { }", "for (i = 0;  ; i) { }"};
  for (std::string_view head : heads) {
    Pass2 p;
    p.EnterFunction("f", 0);
    std::string out = p.ControlLines(head);
    EXPECT_EQ(out.find("goto_false"), std::string::npos) << head;
    EXPECT_NE(out.find("end_for_stlev_1_"), std::string::npos) << head;
    EXPECT_EQ(p.Errors(), Errs{}) << head;
  }
}

}  // namespace
}  // namespace stackcc::testing

namespace stackcc::testing {
namespace {

// Each statement reaches its handler whatever stands before its first byte:
// blanks, markers, or a keyword the declaration handler gave up on.
TEST(Blocks, HandlersAreFoundAfterBlanksAndMarkers) {
  struct Case {
    std::string_view text;
    std::string_view start;  // how the emitted code begins
    int level;               // the nesting level afterwards
  };
  const Case cases[] = {
      {"  \t while (x) {", "push_parameter x", 2},
      {"LINE:3:p.c  LINE:4:p.c do {", "LINE:3:p.c\r\nLINE:4:p.c\r\ndo_stlev_1_ctlbl_1:", 2},
      {"extern while (x) {", "push_parameter x", 2},
      {"LINE:2:p.c }", "LINE:2:p.c\r\nend_function_func_main:", 0},
      {"LINE:2:p.c ASM nop;", " nop", 1},
      {"\x80 goto out;", "goto out_label__func_main", 1},
      {"LINE:2:p.c out: ;", "LINE:2:p.c\r\nout_label__func_main:", 1},
      {"LINE:2:p.c long g() {", "g:\r\nLINE:2:p.c\r\n", 2},
      {"  void g() {", "g:\r\n", 2},
  };
  for (const Case& k : cases) {
    Pass2 p;
    p.EnterFunction("main", 0);
    p.c().run.lineMarkerFlag = 1;
    std::string out(p.Dispatch(k.text));
    EXPECT_TRUE(out.starts_with(k.start)) << k.text << "\n" << out;
    EXPECT_EQ(p.c().blocks.blockLevel, k.level) << k.text;
  }
}

}  // namespace
}  // namespace stackcc::testing
