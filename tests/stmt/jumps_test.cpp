// Switch, case and default labels, break and continue targets, user labels,
// goto and ASM lines.
#include "stmt_fixture.h"

namespace stackcc::testing {
namespace {

using Errs = std::vector<int>;

// A switch at level 1 whose level counter stands at 6 gets the number 7.
TEST(Jumps, SwitchWithTwoCasesAndDefault) {
  Pass2 p;
  p.EnterFunction("f", 0);
  p.c().blocks.stack[1].counter = 6;
  EXPECT_EQ(p.ControlLines("switch (x) { case 1: y = 1; break; case 2: y = 2; default: y = 3; }"),
            "goto CASE_0_stlev_2_ctlbl_7\n"
            "goto INCASE_0_stlev_2_ctlbl_7\n"
            "CASE_0_stlev_2_ctlbl_7:\n"
            "goto_false CASE_1_stlev_2_ctlbl_7\n"
            "INCASE_0_stlev_2_ctlbl_7:\n"
            "goto end_switch_stlev_1_ctlbl_7\n"
            "goto INCASE_1_stlev_2_ctlbl_7\n"
            "CASE_1_stlev_2_ctlbl_7:\n"
            "goto_false CASE_2_stlev_2_ctlbl_7\n"
            "INCASE_1_stlev_2_ctlbl_7:\n"
            "CASE_2_stlev_2_ctlbl_7:\n"
            "CASE_3_stlev_2_ctlbl_7:\n"
            "end_switch_stlev_1_ctlbl_7:\n");
  EXPECT_EQ(p.Errors(), Errs{});
  EXPECT_EQ(p.c().blocks.switchSubject[1].view(), "x");
}

TEST(Jumps, DefaultAfterNestedBlockKeepsTheSwitchNumber) {
  Pass2 p;
  p.EnterFunction("f", 0);
  std::string out =
      p.ControlLines("while (w) { switch (x) { case 1: if (a) { continue; } default: y = 3; } }");
  EXPECT_NE(out.find("goto while_stlev_1_ctlbl_1\n"), std::string::npos) << out;
  EXPECT_NE(out.find("CASE_1_stlev_3_ctlbl_1:\nCASE_2_stlev_3_ctlbl_1:\n"), std::string::npos)
      << out;
}

TEST(Jumps, BreakAndContinueTargets) {
  struct Case {
    std::string_view program;
    std::string_view jump;
  };
  const Case cases[] = {
      {"for (;;) { break; }", "goto end_for_stlev_1_ctlbl_1\n"},
      {"for (;;) { continue; }", "goto for_stlev_1_ctlbl_1\n"},
      {"while (a) { if (b) { break; } }", "goto end_while_stlev_1_ctlbl_1\n"},
      {"while (a) { continue; }", "goto while_stlev_1_ctlbl_1\n"},
      {"do { break; } while (a);", "goto end_do_while_stlev_1_ctlbl_1\n"},
      {"do { continue; } while (a);", "goto test_do_while_stlev_1_ctlbl_1\n"},
      {"while (a) { switch (x) { case 1: break; } }", "goto end_switch_stlev_2_ctlbl_1\n"},
      {"while (a) { switch (x) { case 1: continue; } }", "goto while_stlev_1_ctlbl_1\n"},
  };
  for (const Case& k : cases) {
    Pass2 p;
    p.EnterFunction("f", 0);
    std::string out = p.ControlLines(k.program);
    EXPECT_NE(out.find(k.jump), std::string::npos) << k.program << "\n" << out;
    EXPECT_EQ(p.Errors(), Errs{}) << k.program;
    EXPECT_EQ(p.c().blocks.blockLevel, 1) << k.program;
  }
}

TEST(Jumps, BreakOutOfLoop) {
  const std::string_view programs[] = {"break;", "continue;", "if (a) { break; }",
                                       "switch (x) { case 1: continue; }"};
  for (std::string_view program : programs) {
    Pass2 p;
    p.EnterFunction("f", 0);
    p.Run(program);
    EXPECT_EQ(p.Errors(), Errs{kErrBreakOutOfLoop}) << program;
    EXPECT_EQ(p.c().blocks.blockLevel, 1) << program;
  }
}

TEST(Jumps, CaseAndDefaultErrors) {
  struct Case {
    std::string_view program;
    Errs errors;
  };
  const Case cases[] = {
      {"case 1: x = 1;", {kErrCaseOutsideSwitch}},
      {"default: x = 1;", {kErrCaseOutsideSwitch}},
      {"switch (x) { case 1: if (a) { case 2: } }", {kErrCaseOutsideSwitch}},
      {"switch (x) { case 1 x = 1; }", {kErrMissingColon}},
      {"switch (x) { default x = 1; }", {kErrMissingColon}},
      {"switch (x) { case X: }", {kErrDigit, kErrMissingColon}},
  };
  for (const Case& k : cases) {
    Pass2 p;
    p.EnterFunction("f", 0);
    p.Run(k.program);
    EXPECT_EQ(p.Errors(), k.errors) << k.program;
    EXPECT_EQ(p.c().blocks.blockLevel, 1) << k.program;
  }
}

TEST(Jumps, CaseWithNameLeavesAUserLabel) {
  Pass2 p;
  p.EnterFunction("main", 0);
  std::string out = p.Run("switch (x) { case X: }");
  EXPECT_NE(out.find("X_label__func_main:\n"), std::string::npos) << out;
}

TEST(Jumps, SwitchWithoutUsableSubjectTestsNothing) {
  const std::string_view programs[] = {
      "switch { case 1: y = 1; }",
      "switch (a_very_long_subject_name + another_very_long_subject_name_here) { case 1: }",
  };
  const Errs errors[] = {{kErrParentheses}, {kErrSwitchSubject}};
  for (int i = 0; i < 2; ++i) {
    Pass2 p;
    p.EnterFunction("f", 0);
    std::string out = p.ControlLines(programs[i]);
    EXPECT_EQ(out.find("goto_false"), std::string::npos) << out;
    EXPECT_NE(out.find("INCASE_0_stlev_2_ctlbl_1:\nCASE_1_stlev_2_ctlbl_1:\n"), std::string::npos)
        << out;
    EXPECT_EQ(p.Errors(), errors[i]);
    EXPECT_EQ(p.c().blocks.blockLevel, 1);
  }
}

TEST(Jumps, SwitchSubjectOfFiftyNineCharactersFits) {
  Pass2 p;
  p.EnterFunction("f", 0);
  std::string subject(59, 'a');
  p.Run("switch (" + subject + ") { }");
  EXPECT_EQ(p.Errors(), Errs{});
  EXPECT_EQ(p.c().blocks.switchSubject[1].view(), subject);
}

TEST(Jumps, UserLabelsAreLocalToTheirFunction) {
  Pass2 p;
  p.EnterFunction("main", 0);
  EXPECT_EQ(p.Run("retry: goto retry;"),
            "retry_label__func_main:\n\n"
            "goto retry_label__func_main\n\n");
  EXPECT_EQ(p.Errors(), Errs{});
}

TEST(Jumps, GotoErrors) {
  Pass2 p;
  p.EnterFunction("main", 0);
  p.Run("goto ; goto x y = 1;");
  EXPECT_EQ(p.Errors(), (Errs{kErrVariable, kErrMissingSemicolon}));
}

TEST(Jumps, AsmCopiesTheLineAndLeavesTheSemicolon) {
  Pass2 p;
  EXPECT_EQ(p.Dispatch("LINE:3:p.c ASM   push_parameter 5 ;x"), "   push_parameter 5 ");
  EXPECT_EQ(p.c().scan.cur.position, 34);
  // The ";" is an empty statement of its own on the next call.
  EXPECT_EQ(p.Run("ASM   push_parameter 5 ;").substr(0, 18), "push_parameter 5\n\n");
  EXPECT_EQ(p.Errors(), Errs{});
}

TEST(Jumps, AsmStopsAtTheEndOfTheText) {
  Pass2 p;
  EXPECT_EQ(p.Dispatch("ASM dup 4"), " dup 4");
  EXPECT_EQ(p.c().scan.cur.position, 9);
  EXPECT_EQ(p.Errors(), Errs{kErrMissingSemicolon});
  Pass2 q;
  q.Dispatch("ASM " + std::string(kEmitCapacity + 10, 'x') + ";");
  EXPECT_EQ(q.c().out.emit.size(), static_cast<std::size_t>(kEmitCapacity - 1));
  EXPECT_EQ(q.Errors(), Errs{kErrOutputFull});
}

// A leading name is a label wherever a ':' follows it, blanks or not; a name
// followed at once by an operator is the start of an expression.
TEST(Jumps, LeadingNamesBecomeLabelsOnlyBeforeAColon) {
  struct Case {
    std::string text;
    bool label;
  };
  const Case cases[] = {
      {"done:", true},
      {"done :", true},
      {"done\t\t:", true},
      {"done=1;", false},
      {"done = 1;", false},
      {"done LINE:3:p.c :", true},
      {"done[1]=2;", false},
      {"done->x=2;", false},
      {std::string(70, 'd') + ":", true},
      {std::string(70, 'd') + "=1;", false},
      {"public:", true},
      {"voidx:", true},
  };
  for (const Case& k : cases) {
    Pass2 p;
    p.EnterFunction("main", 0);
    std::string out = p.Run(k.text);
    EXPECT_EQ(out.find("_label__func_main:") != std::string::npos, k.label) << k.text << "\n"
                                                                            << out;
  }
}

}  // namespace
}  // namespace stackcc::testing
