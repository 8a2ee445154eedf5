#include "driver/dependencies.h"

#include "base/compiler.h"
#include "driver/driver.h"
#include "driver/passes.h"
#include "io/out_file.h"
#include "io/paths.h"
#include "io/run_state.h"

namespace stackcc {

namespace {

// The files a run writes, named as the run names them.
std::vector<std::string> WrittenFiles(const Compiler& c) {
  std::vector<std::string> files;
  for (std::string_view ext : {".000", ".001", ".002", ".003", ".004", ".err"}) {
    files.push_back(PathOfDerived(Derived(c, ext)));
  }
  for (std::string_view ext : {".lst", ".h"}) {
    std::string name(c.driver.headerBase.view());
    name.append(ext);
    files.push_back(PathOfDerived(name));
  }
  files.push_back(PathBesideSource(c, "funct1.txt"));
  if (c.run.tools.debugInfo) files.push_back(PathOfDerived(Derived(c, ".dbg")));
  return files;
}

}  // namespace

std::string MakeEscaped(std::string_view name) {
  std::string out;
  for (char ch : name) {
    if (ch == ' ' || ch == '\t' || ch == '#') out += '\\';
    if (ch == '$') out += '$';
    out += ch;
  }
  return out;
}

std::string DependencyRule(const std::vector<std::string>& targets,
                           const std::vector<std::string>& prerequisites, bool phonyHeaders) {
  std::string rule;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    if (i > 0) rule += ' ';
    rule += targets[i];
  }
  rule += ':';
  std::vector<std::string> seen;
  for (const std::string& p : prerequisites) {
    bool repeated = false;
    for (const std::string& s : seen) repeated = repeated || s == p;
    if (repeated) continue;
    seen.push_back(p);
    rule += seen.size() == 1 ? " " : " \\\n ";
    rule += MakeEscaped(p);
  }
  rule += '\n';
  if (phonyHeaders) {
    for (std::size_t i = 1; i < seen.size(); ++i) {
      rule += '\n';
      rule += MakeEscaped(seen[i]);
      rule += ":\n";
    }
  }
  return rule;
}

bool WriteDependencyFile(Compiler& c) {
  const DependencyOptions& d = c.run.tools.dependencies;
  if (!d.write) return true;
  std::vector<std::string> targets = d.targets;
  if (targets.empty()) {
    for (const std::string& f : WrittenFiles(c)) targets.push_back(MakeEscaped(f));
  }
  std::string path = d.file.empty() ? PathOfDerived(Derived(c, ".d")) : HostPath(d.file);
  OutFile file;
  if (file.Open(path, false) &&
      file.Write(DependencyRule(targets, c.run.inputsOpened, d.phonyHeaders)) && file.Close()) {
    return true;
  }
  file.Discard();
  CannotWrite(c, path);
  return false;
}

}  // namespace stackcc
