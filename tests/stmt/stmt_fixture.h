// A compiler set up for Pass 2 with its output files in a scratch directory, and
// helpers that run statement texts the way the pass loop does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "test_support.h"

namespace stackcc::testing {

class Pass2 {
 public:
  Pass2();

  Compiler& c() { return tc.c(); }
  // Dispatches the program statement by statement, writing each result as the
  // driver does; returns what this call wrote to the code file, with CR LF
  // shown as "\n".
  std::string Run(std::string_view program);
  // The lines of the code file that name control labels ("_stlev_").
  std::string ControlLines(std::string_view program);
  // The codes of the errors reported so far, in order.
  std::vector<int> Errors();
  // Closes the side files and returns one of them ("funct1.txt", "prog.lst",
  // "prog.h") with CR LF shown as "\n".
  std::string SideFile(const std::string& name);
  // Opens a function body at level 0 the way a header does, without the header.
  void EnterFunction(std::string_view name, int size);

  TestCompiler tc;
  // Dispatches one text once, as the pass loop's first call would.
  std::string_view Dispatch(std::string_view text);

 private:
  std::string dir_;
  std::size_t codeRead_ = 0;        // bytes of the code file that Run returned already
  std::vector<std::string> texts_;  // keeps every dispatched text alive
};

std::string Unix(std::string_view text);

}  // namespace stackcc::testing
