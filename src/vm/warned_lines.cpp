#include "vm/warned_lines.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

namespace stackvm {

namespace {

std::string shellQuoted(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string baseName(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

std::vector<WarnedLine> parseWarnings(std::istream& in) {
  static const std::regex warning(R"(^(.+):([0-9]+): warning: .*\[-W[A-Za-z0-9-]+\]$)");
  std::vector<WarnedLine> lines;
  for (std::string text; std::getline(in, text);) {
    std::smatch m;
    if (!std::regex_match(text, m, warning)) continue;
    const unsigned long line = std::stoul(m[2].str());
    if (line <= UINT32_MAX) lines.push_back({m[1].str(), static_cast<uint32_t>(line), text});
  }
  return lines;
}

}  // namespace

std::string stackccBesideStackvm() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::filesystem::path beside = self.parent_path() / "stackcc";
    if (::access(beside.c_str(), X_OK) == 0) return beside.string();
  }
  return "stackcc";
}

Warnings stackccWarnings(const std::string& stackcc, const std::string& sourcePath,
                         const std::string& sourceDirectory, const std::string& workDirectory) {
  namespace fs = std::filesystem;
  Warnings w;
  const fs::path dir = fs::path(workDirectory) / "warnings";
  const std::string name = baseName(sourcePath);
  std::error_code error;
  fs::create_directory(dir, error);
  if (!error) fs::copy_file(sourcePath, dir / name, fs::copy_options::overwrite_existing, error);
  if (error) {
    w.problem = "the source could not be copied for stackcc -Wall: " + error.message();
    return w;
  }
  const std::string include = fs::absolute(sourceDirectory.empty() ? "." : sourceDirectory);
  const std::string command = "cd " + shellQuoted(dir.string()) + " && " + shellQuoted(stackcc) +
                              " " + shellQuoted(name) + " -Wall -Wno-unused -I " +
                              shellQuoted(include) + " >/dev/null 2>warnings.txt";
  const int raw = std::system(command.c_str());
  if (raw == -1 || !WIFEXITED(raw) || WEXITSTATUS(raw) >= 126) {
    w.problem = stackcc + " could not be run for its -Wall warnings";
    return w;
  }
  std::ifstream in(dir / "warnings.txt");
  w.lines = parseWarnings(in);
  return w;
}

WarnedLineClock::WarnedLineClock(const Program& program, const std::vector<WarnedLine>& warned,
                                 uint64_t until)
    : warned_(warned),
      warnedAt_(program.positions.size()),
      lastRun_(warned.size(), 0),
      until_(until) {
  std::map<std::pair<std::string, uint32_t>, std::vector<uint32_t>> byLine;
  for (uint32_t i = 0; i < warned.size(); ++i)
    byLine[{baseName(warned[i].file), warned[i].line}].push_back(i);
  for (size_t pc = 0; pc < program.positions.size(); ++pc) {
    const Position& p = program.positions[pc];
    if (p.file == 0 || p.file >= program.sourceFiles.size()) continue;
    auto found = byLine.find({baseName(program.sourceFiles[p.file]), p.line});
    if (found != byLine.end()) warnedAt_[pc] = found->second;
  }
}

bool WarnedLineClock::stopBefore(const Machine& machine) {
  const uint64_t now = machine.executed();
  if (now > until_) return true;
  if (machine.pc() < warnedAt_.size()) {
    for (uint32_t i : warnedAt_[machine.pc()]) lastRun_[i] = now + 1;
  }
  return false;
}

std::vector<const WarnedLine*> WarnedLineClock::ranLastFirst() const {
  std::vector<uint32_t> ran;
  for (uint32_t i = 0; i < lastRun_.size(); ++i) {
    if (lastRun_[i] != 0) ran.push_back(i);
  }
  std::stable_sort(ran.begin(), ran.end(),
                   [&](uint32_t a, uint32_t b) { return lastRun_[a] > lastRun_[b]; });
  std::vector<const WarnedLine*> lines;
  for (uint32_t i : ran) lines.push_back(&warned_[i]);
  return lines;
}

}  // namespace stackvm
