#include "io/paths.h"

#include <filesystem>
#include <system_error>

#include "base/bytes.h"
#include "base/compiler.h"
#include "io/run_state.h"

namespace stackcc {

namespace {

bool IsAbsolute(std::string_view name) {
  if (!name.empty() && IsSeparator(name[0])) return true;
  return name.size() >= 2 && IsLetter(name[0]) && name[1] == ':';
}

}  // namespace

bool IsSeparator(char ch) {
  return ch == '/' || ch == '\\';
}

std::string HostPath(std::string_view name) {
  std::string path(name);
  for (char& ch : path) {
    if (ch == '\\') ch = '/';
  }
  return path;
}

std::string PathBesideSource(const Compiler& c, std::string_view name) {
  if (IsAbsolute(name)) return HostPath(name);
  return c.run.sourceDir + HostPath(name);
}

std::string FindIncludeFile(const Compiler& c, std::string_view name) {
  std::string beside = PathBesideSource(c, name);
  if (IsAbsolute(name) || c.run.tools.includeDirs.empty()) return beside;
  std::error_code ec;
  if (std::filesystem::is_regular_file(beside, ec)) return beside;
  for (const std::string& dir : c.run.tools.includeDirs) {
    std::string candidate = HostPath(dir);
    if (!candidate.empty() && candidate.back() != '/') candidate += '/';
    candidate += HostPath(name);
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
  }
  return beside;
}

std::string PathOfDerived(std::string_view derivedName) {
  return HostPath(derivedName);
}

}  // namespace stackcc
