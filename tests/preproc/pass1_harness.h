// Runs Pass 1 over files in a temporary directory, through the real source
// reader, and collects what the driver would write to <base>.000.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "base/compiler.h"
#include "base/text_helpers.h"
#include "driver/driver.h"
#include "io/diagnostics.h"
#include "io/run_state.h"
#include "io/source_reader.h"
#include "preproc/preproc.h"
#include "scanner/scanner.h"
#include "test_support.h"

namespace stackcc::testing {

class Pass1 {
 public:
  Pass1() : dir_(MakeTempDir()) {}

  Compiler& c() { return t_.c(); }
  const std::string& dir() const { return dir_; }
  void File(const std::string& name, std::string_view content) {
    std::filesystem::create_directories(std::filesystem::path(dir_ + name).parent_path());
    WriteFile(dir_ + name, content);
  }

  // Writes prog.c and runs every line of it (and its includes) through the
  // preprocessor; returns the lines written, each with its CR LF.
  std::string Run(std::string_view source, bool markers = false) {
    File("prog.c", source);
    Compiler& cc = c();
    cc.run.sourceDir = dir_;
    cc.run.lineMarkerFlag = markers ? 1 : 0;
    cc.diag.errorStream.Open(dir_ + "prog.err", false);
    std::string out;
    if (!OpenBaseLevel(cc, dir_ + "prog.c", "prog.c")) return "cannot open";
    SourceText text;
    bool more = NextSourceText(cc, kWindowSize, 1, &text);
    while (more && !cc.run.stopped) {
      std::string_view result = PreprocessLine(cc, text);
      if (cc.run.stopped) break;
      out.append(TrimSpaces(result));
      out.append("\r\n");
      int consumed = cc.scan.cur.position;
      if (consumed > text.length) consumed = text.length;
      if (consumed <= 0) consumed = 1;
      more = NextSourceText(cc, consumed, 1, &text);
    }
    cc.diag.errorStream.Close();
    return out;
  }

  std::string Console() { return t_.ConsoleText(); }
  std::string Errors() { return ReadFile(dir_ + "prog.err"); }
  // How many reports carried this message.
  int Reports(std::string_view message) {
    return Count(Console(), " Error message: " + std::string(message) + "\r\n");
  }
  // Number of reports of any kind.
  int AllReports() { return Count(Console(), "ERROR in LINE:"); }

  static int Count(std::string_view text, std::string_view needle) {
    int n = 0;
    for (std::size_t at = text.find(needle); at != std::string_view::npos;
         at = text.find(needle, at + 1)) {
      ++n;
    }
    return n;
  }

 private:
  TestCompiler t_;
  std::string dir_;
};

// One source line processed after some directive lines: the case of the
// table-driven line tests.
struct LineCase {
  const char* what;
  std::string defines;  // directive lines, each giving one empty output line
  std::string line;
  std::string expected;  // the processed line
};

// Pass 1 writes an empty line per directive line, the processed line and the
// empty line of the end, and reports nothing.
inline void ExpectLineProcessed(const LineCase& k) {
  const std::string E = "\r\n";
  Pass1 run;
  std::string out = run.Run(k.defines + k.line + "\n");
  std::string prefix;
  for (char ch : k.defines) {
    if (ch == '\n') prefix += E;
  }
  EXPECT_EQ(out, prefix + k.expected + E + E) << k.what;
  EXPECT_EQ(run.AllReports(), 0) << k.what;
}

}  // namespace stackcc::testing
