// Host paths: turns names as written ('\' or '/' between folders) into host
// paths, beside the source unless absolute. No state.
#include "io/paths.h"

#include <sys/stat.h>

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
  if (IsRegularFile(beside)) return beside;
  for (const std::string& dir : c.run.tools.includeDirs) {
    std::string candidate = HostPath(dir);
    if (!candidate.empty() && candidate.back() != '/') candidate += '/';
    candidate += HostPath(name);
    if (IsRegularFile(candidate)) return candidate;
  }
  return beside;
}

bool IsRegularFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string PathOfDerived(std::string_view derivedName) {
  return HostPath(derivedName);
}

}  // namespace stackcc
