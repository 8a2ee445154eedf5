// Helpers shared by the unit tests: a fresh compiler per case with its console
// captured, and texts fed to the scanner.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "driver/compiler.h"

namespace stackcc::testing {

class TestCompiler {
 public:
  TestCompiler();
  ~TestCompiler();
  Compiler& c() { return *compiler_; }
  Compiler* operator->() { return compiler_.get(); }
  // Points the scanner at a copy of the text (kept alive by this object).
  void SetText(std::string_view text);
  // Everything printed on the console so far.
  std::string ConsoleText();

 private:
  std::unique_ptr<Compiler> compiler_;
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
