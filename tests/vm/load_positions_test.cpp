// Load errors and warnings of a program compiled with markers name the source
// line (the last marker before the line) and the line of the file read.
#include <gtest/gtest.h>

#include "vm_harness.h"

namespace stackvm::testing {
namespace {

struct MarkedCase {
  const char* name;
  Files files;
  const char* message;
};

Files marked(const std::vector<std::string>& code, const std::vector<std::string>& data = {}) {
  Files f;
  f.code = lines(code);
  f.data4 = lines(data);
  return f;
}

class MarkedLoadErrors : public ::testing::TestWithParam<MarkedCase> {};

TEST_P(MarkedLoadErrors, NameTheSourceLineAndTheCodeLine) {
  Outcome o = runFiles(GetParam().files);
  EXPECT_EQ(o.status, 71);
  EXPECT_EQ(o.err, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, MarkedLoadErrors,
    ::testing::Values(
        MarkedCase{"unknown_instruction", marked({"main:", "LINE:12:p.c", "frob 4", "return"}),
                   "p.c:12: unknown instruction 'frob' (t.001:3)\n"},
        MarkedCase{"last_marker_wins",
                   marked({"LINE:1:p.c", "main:", "LINE:5:inc.h", "", "push_parameter", "return"}),
                   "inc.h:5: push_parameter takes 1 operand(s) (t.001:5)\n"},
        MarkedCase{"unresolved_at_its_reference",
                   marked({"main:", "LINE:3:p.c", "goto away", "LINE:4:p.c", "return"}),
                   "p.c:3: goto away: no such label (t.001:3)\n"},
        MarkedCase{"undeclared_routine",
                   marked({"main:", "LINE:8:p.c", "push_parameter blink", "gosub", "return"}),
                   "p.c:8: blink is neither defined in the program nor declared in Sys10.c "
                   "(t.001:3)\n"},
        MarkedCase{"duplicate_label_names_both",
                   marked({"LINE:2:p.c", "main:", "return"}, {"LINE:9:p.c", "main:", "dd 0"}),
                   "p.c:9: label main is already defined at p.c:2 (t.004:3)\n"},
        MarkedCase{"data_file_marker", marked({"main:", "return"}, {"LINE:6:q.c", "x:", "db y"}),
                   "q.c:6: malformed data value 'y' (t.004:4)\n"},
        MarkedCase{"markers_end_with_their_file",
                   marked({"LINE:6:p.c", "main:", "return"}, {"db y"}),
                   "t.004:2: malformed data value 'y'\n"}),
    [](const ::testing::TestParamInfo<MarkedCase>& info) { return std::string(info.param.name); });

TEST(MarkedLoadWarnings, NameTheSourceLineToo) {
  Outcome o = runFiles(marked({"main:", "LINE:4:p.c", "push_parameter 5000000000", "drop 4",
                               "end_function_func_main:", "return"}));
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err,
            "p.c:4: warning: 5000000000 does not fit in 32 bits; taken modulo 2^32 (t.001:3)\n");
}

}  // namespace
}  // namespace stackvm::testing
