// libFuzzer target: arbitrary bytes go through a whole compilation, either as the
// source alone or split into the source, Sys10.c and one include file, in a
// private temporary directory. Every input is compiled twice, in two
// directories, each time by a fresh compilation object: any difference in the
// files written or the status (state left behind, bytes read that were never
// written) is a finding, as is a crash or a sanitizer report.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "driver/compilation.h"

namespace {

// The private directory of this fuzzing process, removed when it ends.
struct WorkDirectory {
  std::string path;
  WorkDirectory() {
    char tmpl[] = "/tmp/stackcc-fuzz-XXXXXX";
    char* made = mkdtemp(tmpl);
    path = std::string(made == nullptr ? "/tmp" : made) + "/";
  }
  ~WorkDirectory() {
    std::error_code ignored;
    if (path != "/tmp/") std::filesystem::remove_all(path, ignored);
  }
};

const std::string& WorkDir(int run) {
  static const WorkDirectory first;
  static const WorkDirectory second;
  return run == 0 ? first.path : second.path;
}

std::string Get(const std::string& path) {
  std::string bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return "<missing>";
  char buf[65536];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
  std::fclose(f);
  return bytes;
}

constexpr const char* kOutputs[] = {"prog.000", "prog.001", "prog.002", "prog.003",  "prog.004",
                                    "prog.err", "prog.lst", "prog.h",   "funct1.txt"};

void Put(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::string_view source = in, system, include;
  bool markers = size > 0 && (data[0] & 2) != 0;
  if (size >= 3 && (data[0] & 1) != 0) {
    // Split mode: the next two bytes choose where the three files are cut.
    std::size_t rest = size - 3;
    std::size_t a = rest * data[1] / 255;
    std::size_t b = (rest - a) * data[2] / 255;
    source = in.substr(3, a);
    system = in.substr(3 + a, b);
    include = in.substr(3 + a + b);
  }
  int status[2];
  for (int run : {0, 1}) {
    const std::string& dir = WorkDir(run);
    Put(dir + "prog.c", source);
    Put(dir + "Sys10.c", system);
    Put(dir + "inc.h", include);
    // Run inside the directory, so that no output carries the directory's own
    // name and the two runs can be compared byte for byte.
    std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    const char* argv[] = {"stackcc", "prog.c", markers ? "-d" : "-cF"};
    std::unique_ptr<stackcc::Compilation> compilation(new stackcc::Compilation);
    stackcc::Compiler& compiler = compilation->compiler();
    compiler.run.console = nullptr;
    status[run] = stackcc::RunCompiler(compiler, 3, argv);
    std::filesystem::current_path(home);
  }
  if (status[0] != status[1]) abort();
  for (const char* name : kOutputs) {
    if (Get(WorkDir(0) + name) != Get(WorkDir(1) + name)) abort();
  }
  return 0;
}
