#include "whole_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "test_support.h"

namespace stackcc::testing {

namespace fs = std::filesystem;

RunOutcome RunIn(const Inputs& inputs, const std::vector<std::string>& args,
                 const std::function<void(Compiler&)>& configure) {
  std::string dir = MakeTempDir();
  for (const auto& [name, content] : inputs) {
    fs::create_directories(fs::path(dir + name).parent_path());
    WriteFile(dir + name, content);
  }
  std::vector<const char*> argv{"stackcc"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  fs::path home = fs::current_path();
  fs::current_path(dir);
  RunOutcome out;
  {
    TestCompiler t;
    configure(t.c());
    out.status = RunCompiler(t.c(), static_cast<int>(argv.size()), argv.data());
    out.console = t.ConsoleText();
  }
  fs::current_path(home);
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file()) {
      out.files[entry.path().lexically_relative(dir).string()] = ReadFile(entry.path().string());
    }
  }
  return out;
}

void ExpectSameRuns(const std::string& label, const Inputs& inputs,
                    const std::vector<std::string>& args, const std::function<void(Compiler&)>& one,
                    const std::function<void(Compiler&)>& other) {
  RunOutcome a = RunIn(inputs, args, one);
  RunOutcome b = RunIn(inputs, args, other);
  EXPECT_EQ(b.status, a.status) << label;
  EXPECT_EQ(b.console, a.console) << label;
  EXPECT_EQ(b.files.size(), a.files.size()) << label;
  for (const auto& [name, content] : a.files) {
    auto it = b.files.find(name);
    ASSERT_NE(it, b.files.end()) << label << ": " << name;
    EXPECT_TRUE(it->second == content) << label << ": " << name << " differs";
  }
}

namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

}  // namespace

int ForEachGoldenCase(const std::function<void(const std::string&, const Inputs&,
                                               const std::vector<std::string>&)>& visit) {
  int cases = 0;
  for (const auto& entry : fs::directory_iterator(STACKCC_GOLDEN_DIR)) {
    fs::path cmd = entry.path() / "cmd";
    if (!fs::exists(cmd)) continue;
    Inputs inputs;
    fs::path input = entry.path() / "input";
    if (fs::exists(input)) {
      for (const auto& f : fs::recursive_directory_iterator(input)) {
        if (f.is_regular_file()) {
          inputs[f.path().lexically_relative(input).string()] = ReadFile(f.path().string());
        }
      }
    }
    visit(entry.path().filename().string(), inputs, Words(ReadFile(cmd.string())));
    ++cases;
  }
  return cases;
}

}  // namespace stackcc::testing
