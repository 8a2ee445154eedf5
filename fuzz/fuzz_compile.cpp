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
#include "reference_run.h"

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

// Run 0 and 1 are the in-process compilations, run 2 the reference binary's.
const std::string& WorkDir(int run) {
  static const WorkDirectory first;
  static const WorkDirectory second;
  static const WorkDirectory reference;
  return run == 0 ? first.path : run == 1 ? second.path : reference.path;
}

// The reference binary, made absolute (it is started inside the work
// directory), or empty when none is set.
const std::string& ReferenceBinary() {
  static const std::string path = [] {
    const char* given = std::getenv("STACKCC_FUZZ_REFERENCE");
    if (given == nullptr || *given == '\0') return std::string();
    return std::filesystem::absolute(given).string();
  }();
  return path;
}

// A reference run longer than this is a finding (a hang of the old binary).
constexpr int kReferenceSeconds = 20;

constexpr const char* kInputs[] = {"prog.c", "Sys10.c", "inc.h"};
constexpr int kInputCount = 3;

void Put(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

void WriteInputs(const std::string& dir, std::string_view source, std::string_view system,
                 std::string_view include) {
  stackcc_fuzz::RemoveOutputs(dir, kInputs, kInputCount);
  Put(dir + "prog.c", source);
  Put(dir + "Sys10.c", system);
  Put(dir + "inc.h", include);
}

[[noreturn]] void Finding(const char* what, const std::string& detail) {
  std::fprintf(stderr, "fuzz_compile: %s%s\n", what, detail.c_str());
  abort();
}

// The file of two runs that differs (or is written by one of them only).
std::string FirstDifference(const stackcc_fuzz::Files& a, const stackcc_fuzz::Files& b) {
  for (const auto& [name, bytes] : a) {
    auto other = b.find(name);
    if (other == b.end()) return name + " (written by the first run only)";
    if (other->second != bytes) return name;
  }
  for (const auto& [name, bytes] : b) {
    if (a.find(name) == a.end()) return name + " (written by the second run only)";
  }
  return "";
}

// Compiles with the reference binary in its own directory and compares with
// the in-process run 0.
void CompareWithReference(std::string_view source, std::string_view system,
                          std::string_view include, const char* const* argv, int status) {
  const std::string& dir = WorkDir(2);
  WriteInputs(dir, source, system, include);
  const char* child_argv[] = {argv[0], argv[1], argv[2], nullptr};
  int reference = stackcc_fuzz::RunReference(ReferenceBinary(), child_argv, dir, kReferenceSeconds);
  if (reference < 0) {
    Finding("the reference binary ", reference == -1   ? "timed out"
                                     : reference == -2 ? "was killed by a signal"
                                                       : "could not be started");
  }
  if (reference != status) {
    Finding("exit status differs from the reference binary's: ",
            std::to_string(status) + " here, " + std::to_string(reference) + " there");
  }
  std::string differs = FirstDifference(stackcc_fuzz::ReadOutputs(WorkDir(0), kInputs, kInputCount),
                                        stackcc_fuzz::ReadOutputs(dir, kInputs, kInputCount));
  if (!differs.empty()) Finding("output differs from the reference binary's: ", differs);
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
  const char* argv[] = {"stackcc", "prog.c", markers ? "-d" : "-cF"};
  int status[2];
  for (int run : {0, 1}) {
    const std::string& dir = WorkDir(run);
    WriteInputs(dir, source, system, include);
    // Run inside the directory, so that no output carries the directory's own
    // name and the two runs can be compared byte for byte.
    std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::unique_ptr<stackcc::Compilation> compilation(new stackcc::Compilation);
    stackcc::Compiler& compiler = compilation->compiler();
    compiler.run.console = nullptr;
    status[run] = stackcc::RunCompiler(compiler, 3, argv);
    std::filesystem::current_path(home);
  }
  if (status[0] != status[1]) Finding("exit status differs between two compilations", "");
  std::string differs =
      FirstDifference(stackcc_fuzz::ReadOutputs(WorkDir(0), kInputs, kInputCount),
                      stackcc_fuzz::ReadOutputs(WorkDir(1), kInputs, kInputCount));
  if (!differs.empty()) Finding("output differs between two compilations: ", differs);
  if (!ReferenceBinary().empty()) CompareWithReference(source, system, include, argv, status[0]);
  return 0;
}
