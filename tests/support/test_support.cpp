#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <sstream>

#include "expr/expression.h"

namespace stackcc::testing {

TestCompiler::TestCompiler() : compilation_(new Compilation) {
  c().run.console = open_memstream(&consoleBuf_, &consoleLen_);
}

TestCompiler::~TestCompiler() {
  if (c().run.console != nullptr) std::fclose(c().run.console);
  std::free(consoleBuf_);
}

void TestCompiler::SetText(std::string_view text) {
  text_.assign(text);
  BeginText(c(), text_.data(), static_cast<int>(text_.size()));
}

std::string TestCompiler::ConsoleText() {
  std::fflush(c().run.console);
  return std::string(consoleBuf_ == nullptr ? "" : consoleBuf_, consoleLen_);
}

void TestCompiler::ResetExpression() {
  ExprState& e = c().expr;
  std::destroy_at(&e);
  new (&e) ExprState;  // default-initialised, as in a new compiler: no zero fill
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, std::string_view content) {
  std::ofstream out(path, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

namespace {

// Every directory a test process makes lives under one root, removed with
// everything in it when the process ends, so a test run leaves nothing behind.
class TempRoot {
 public:
  TempRoot() {
    char tmpl[] = "/tmp/stackcc-test-XXXXXX";
    char* dir = mkdtemp(tmpl);
    if (dir != nullptr) path_ = dir;
  }
  ~TempRoot() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

std::string MakeTempDir() {
  static TempRoot root;
  std::string tmpl =
      (root.path().empty() ? std::string("/tmp/stackcc-test") : root.path() + "/case") + "-XXXXXX";
  char* dir = mkdtemp(tmpl.data());
  return std::string(dir == nullptr ? "/tmp" : dir) + "/";
}

}  // namespace stackcc::testing
