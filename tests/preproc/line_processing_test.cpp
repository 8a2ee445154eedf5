// Line processing: the lines of <base>.000 for each kind of source text,
// comments, markers and line counting.
#include <gtest/gtest.h>

#include <string>

#include "case_name.h"
#include "pass1_harness.h"

namespace stackcc::testing {
namespace {

struct LineCase {
  const char* what;
  std::string source;
  bool markers;
  std::string expected;
};

class LineFormat : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineFormat, WritesTheLines) {
  const LineCase& k = GetParam();
  Pass1 run;
  EXPECT_EQ(run.Run(k.source, k.markers), k.expected) << k.what;
  EXPECT_EQ(run.AllReports(), 0) << k.what;
}

const std::string E = "\r\n";  // one line end

INSTANTIATE_TEST_SUITE_P(
    Rows, LineFormat,
    ::testing::Values(
        LineCase{"markers for every line after the first", "x = 1;\ny = 2;\nz = 3;\n", true,
                 "x = 1;" + E + E + "LINE:2:prog.c" + E + "y = 2;" + E + E + "LINE:3:prog.c" + E +
                     "z = 3;" + E + E},
        LineCase{"no markers without the option", "x = 1;\ny = 2;\n", false,
                 "x = 1;" + E + E + "y = 2;" + E + E},
        LineCase{"blank lines are counted, not written", "a;\n\n\n   b;\n", true,
                 "a;" + E + E + "LINE:4:prog.c" + E + "b;" + E + E},
        LineCase{"a // comment keeps the space before it", "x = 1; // note\n", false,
                 "x = 1; " + E + E},
        LineCase{"a line of only // gives two empty lines", "a;\n// note\nb;\n", true,
                 "a;" + E + E + "LINE:2:prog.c" + E + E + E + "LINE:3:prog.c" + E + "b;" + E + E},
        LineCase{"the rest after */ is a line of its own", "a = 1; /* note */ b = 2;\n", false,
                 "a = 1; " + E + E + "b = 2;" + E + E},
        LineCase{"a comment line drops its marker, the rest has none", "a;\nb; /* x */ c;\nd;\n",
                 true,
                 "a;" + E + E + "b; " + E + E + "c;" + E + E + "LINE:3:prog.c" + E + "d;" + E + E},
        LineCase{"lines inside a comment are counted", "a;\n/* x\n y\n */ b;\nc;\n", true,
                 "a;" + E + E + E + E + "b;" + E + E + "LINE:5:prog.c" + E + "c;" + E + E},
        LineCase{"a / right after the opener closes the comment", "/*/ a;\n", false,
                 E + E + "a;" + E + E},
        LineCase{"comment openers count inside strings", "s = \"a//b\";\n", false,
                 "s = \"a" + E + E},
        LineCase{"a lone slash is copied", "x = a / b;\n", false, "x = a / b;" + E + E},
        LineCase{"the last line may lack its line feed", "a;\nb;", true,
                 "a;" + E + E + "LINE:2:prog.c" + E + "b;" + E + E},
        LineCase{"an unterminated comment ends with the file", "a; /* never\n closed\n", false,
                 "a; " + E + E},
        LineCase{"tabs arrive as spaces", "\tx\t= 1;\n", false, "x = 1;" + E + E},
        LineCase{"a NUL ends what is kept of the line", std::string("a\0b;\nc;\n", 8), false,
                 "a" + E + E + "c;" + E + E},
        LineCase{"comments after a NUL are still recognised",
                 std::string("a\0 /* x\ny */ c;\nd;\n", 19), true,
                 "a" + E + E + "c;" + E + E + "LINE:3:prog.c" + E + "d;" + E + E},
        LineCase{"a source line starting with LINE: is taken for a marker", "LINE:7:x a = 1;\n",
                 false, "LINE:7:x" + E + "a = 1;" + E + E},
        LineCase{"lines no directive takes pass through",
                 "#define N 1\n#if N\n#pragma N\n#undef N\n", false,
                 E + "#if 1" + E + E + "#pragma 1" + E + E + "#undef 1" + E + E},
        LineCase{"directives after blanks and tabs are taken",
                 "  #define N 4\n\t#IF N 4\n a = N;\n \t#ELSE\n b;\n\t #ENDIF\n\t\tc = N;\n", false,
                 E + E + "a = 4;" + E + E + E + E + E + "c = 4;" + E + E},
        LineCase{"a directive after a source marker is taken, the marker dropped",
                 "LINE:7:x #define N 5\nN;\n", false, E + "5;" + E + E},
        LineCase{"blanks before a source marker", " \t LINE:7:x a = 1;\n", false,
                 "LINE:7:x" + E + "a = 1;" + E + E},
        LineCase{"two source markers in a row", "LINE:1:a LINE:2:b c;\n", false,
                 "LINE:1:a" + E + "LINE:2:b" + E + "c;" + E + E},
        LineCase{"a source marker after a counted line", "a;\nLINE:9:z b;\n", true,
                 "a;" + E + E + "LINE:2:prog.c" + E + "LINE:9:z" + E + "b;" + E + E},
        LineCase{"words starting with L are no marker",
                 "#define LINE 3\nLINE = LINES;\nL;\nLINE;\n", false,
                 E + "3 = LINES;" + E + E + "L;" + E + E + "3;" + E + E},
        LineCase{"a # later in the line is no directive", "x; #define N 1\nN;\n", false,
                 "x; #define N 1" + E + E + "N;" + E + E}),
    [](const auto& info) { return CaseName(info.param.what); });

TEST(LineCounting, ADirectiveAfterASourceMarkerReportsAtTheMarker) {
  Pass1 run;
  run.Run("a;\n  LINE:42:other.c #ENDIF\n", false);
  EXPECT_EQ(run.Errors(), "42:other.c\r\n#ENDIF Without #IF;; Fatal error\r\n");
}

TEST(LineCounting, MarkerAfterAnIncludeNamesTheIncluderLine) {
  Pass1 run;
  run.File("one.h", "x;\ny;\n");
  std::string out = run.Run("a;\n#include \"one.h\"\nb;\n", true);
  EXPECT_EQ(out, "a;" + E + E + E + "x;" + E + E + "LINE:2:one.h" + E + "y;" + E + E +
                     "LINE:3:prog.c" + E + "b;" + E + E);
}

TEST(LineCounting, ErrorsShowTheMarkerPosition) {
  Pass1 run;
  run.Run("a;\n\n#ENDIF\n", true);
  EXPECT_EQ(run.Errors(), "3:prog.c\r\n#ENDIF Without #IF;; Fatal error\r\n");
}

TEST(LineCounting, AnErrorAfterACommentNamesItsLastLine) {
  Pass1 run;
  run.Run("a;\n/* one\ntwo */ #ENDIF\n", true);
  EXPECT_EQ(run.Errors(), "3:prog.c\r\n#ENDIF Without #IF;; Fatal error\r\n");
}

TEST(LineCounting, ManyBlankLinesDrawNoError) {
  Pass1 run;
  std::string source = "a;" + std::string(6000, '\n') + "b;\n";
  EXPECT_EQ(run.Run(source, true), "a;" + E + E + "LINE:6001:prog.c" + E + "b;" + E + E);
  EXPECT_EQ(run.AllReports(), 0);
}

// A comment longer than the reader's window goes on in the next window: its
// text never turns into code and its lines are counted.
TEST(LongComments, BlockCommentAcrossWindows) {
  for (int close : {20470, 20477, 20478, 20479, 20480, 20481, 20490, 45000}) {
    Pass1 run;
    std::string source = "a;\n/*";
    while (static_cast<int>(source.size()) < close - 8) source += "xxxxxxx\n";
    source += std::string(static_cast<std::size_t>(close - static_cast<int>(source.size())), 'y');
    int lines = Pass1::Count(source, "\n") + 1;
    source += "*/ b;\nc;\n";
    std::string out = run.Run(source, true);
    EXPECT_EQ(out.find('x'), std::string::npos) << close;
    EXPECT_EQ(out.find('y'), std::string::npos) << close;
    EXPECT_NE(out.find("b;" + E), std::string::npos) << close;
    std::string marker = "LINE:" + std::to_string(lines + 1) + ":prog.c" + E + "c;" + E;
    EXPECT_NE(out.find(marker), std::string::npos) << close << "\n" << out.substr(0, 200);
    EXPECT_EQ(run.AllReports(), 0) << close;
  }
}

TEST(LongComments, LineCommentAcrossWindows) {
  Pass1 run;
  std::string source = "a;\n// " + std::string(30000, 'z') + "\nb;\n";
  std::string out = run.Run(source, true);
  EXPECT_EQ(out.find('z'), std::string::npos);
  EXPECT_NE(out.find("LINE:3:prog.c" + E + "b;" + E), std::string::npos);
}

// A line comment whose line feed is the first byte after a window edge: the
// lines after it keep their numbers.
TEST(LongComments, LineCommentEndingAtAWindowEdge) {
  for (int feedAt : {20479, 20480, 20481, 20482, 40960, 40961, 40962, 61441}) {
    Pass1 run;
    std::string source = "int a;\n//";
    source += std::string(static_cast<std::size_t>(feedAt - 1 - static_cast<int>(source.size())), 'x');
    source += "\nint z;\nint y;\n";
    std::string out = run.Run(source, true);
    for (std::string line : {"LINE:3:prog.c" + E + "int z;", "LINE:4:prog.c" + E + "int y;"}) {
      EXPECT_NE(out.find(line), std::string::npos) << feedAt << ": " << line;
    }
  }
}

TEST(LongComments, UnterminatedCommentEndsWithItsInclude) {
  Pass1 run;
  run.File("open.h", "x;\n/* " + std::string(25000, 'q') + "\n");
  std::string out = run.Run("#include \"open.h\"\nb;\n", true);
  EXPECT_EQ(out.find('q'), std::string::npos);
  EXPECT_NE(out.find("LINE:2:prog.c" + E + "b;" + E), std::string::npos);
}

TEST(LongLines, LongLineWithoutDefinesPassesWhole) {
  Pass1 run;
  std::string line = "x = " + std::string(3000, '1') + ";";
  EXPECT_EQ(run.Run(line + "\n"), line + E + E);
  EXPECT_EQ(run.AllReports(), 0);
}

// The line reader skips sixteen bytes at a time to the next byte that needs
// a look; a comment or a slash must be seen wherever it stands in a block.
TEST(LineReader, SeesSlashesAtEveryPlace) {
  for (int at = 0; at < 40; ++at) {
    std::string head = "x = " + std::string(static_cast<std::size_t>(at), 'a');
    std::string tail = std::string(static_cast<std::size_t>(at % 19), 'b') + ";";
    const std::pair<std::string, std::string> cases[] = {
        {head + "// note\n", head},
        {head + "/* note */" + tail + "\n", head + "\r\n\r\n" + tail},
        {head + " / " + tail + "\n", head + " / " + tail},
    };
    for (const auto& [source, expected] : cases) {
      Pass1 run;
      EXPECT_EQ(run.Run(source), expected + "\r\n\r\n") << source;
    }
  }
}

}  // namespace
}  // namespace stackcc::testing
