// Helpers shared by the unit tests: a fresh compiler per case with its console
// captured, and texts fed to the scanner.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "base/compiler.h"
#include "driver/compilation.h"

namespace stackcc::testing {

class TestCompiler {
 public:
  TestCompiler();
  ~TestCompiler();
  Compiler& c() { return compilation_->compiler(); }
  Compiler* operator->() { return &compilation_->compiler(); }
  // Points the scanner at a copy of the text (kept alive by this object).
  void SetText(std::string_view text);
  // Everything printed on the console so far.
  std::string ConsoleText();
  // The expression compiler's state as a new compiler has it (its tables
  // unbuilt), without building a whole new compiler: a test running thousands
  // of statements stays fast under the sanitizers, whose cost is per allocation.
  void ResetExpression();

 private:
  std::unique_ptr<Compilation> compilation_;
  std::string text_;
  char* consoleBuf_ = nullptr;
  std::size_t consoleLen_ = 0;
};

// Reads a whole file (empty when missing).
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, std::string_view content);
// A new empty temporary directory (ending in '/').
std::string MakeTempDir();

}  // namespace stackcc::testing
