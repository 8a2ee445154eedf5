#include "vm/coverage.h"

#include <map>
#include <ostream>
#include <vector>

namespace stackvm {

namespace {

struct Branch {
  uint64_t jumped = 0;
  uint64_t passed = 0;
  bool ran = false;
};

struct FunctionRecord {
  std::string name;
  uint32_t line = 0;
  uint64_t calls = 0;
};

struct SourceFile {
  std::map<uint32_t, uint64_t> lines;  // line -> the most runs of its instructions
  std::map<uint32_t, std::vector<Branch>> branches;
  std::vector<FunctionRecord> functions;
};

// A source position, or the code file's line for a program without markers.
std::pair<std::string, uint32_t> place(const Program& program, uint32_t pc) {
  const Position& p = program.positions[pc];
  if (p.file != 0) return {program.sourceFiles[p.file], p.line};
  return {program.codeFileName, p.codeLine};
}

std::map<std::string, SourceFile> collect(const Program& program, const ExecutionCounts& counts) {
  std::map<std::string, SourceFile> files;
  for (uint32_t pc = 0; pc < program.instructionCount(); ++pc) {
    if (counts.functionOf()[pc] == kNoFunction) continue;  // code outside functions never runs
    auto [name, line] = place(program, pc);
    SourceFile& file = files[name];
    uint64_t& runs = file.lines[line];
    runs = std::max(runs, counts.runs()[pc]);
    const Op op = program.code[pc].op;
    if (op == Op::jump_true || op == Op::jump_false) {
      const uint64_t jumped = counts.jumped()[pc];
      file.branches[line].push_back({jumped, counts.runs()[pc] - jumped, counts.runs()[pc] > 0});
    }
  }
  for (const Function& f : program.functions) {
    auto [name, line] = place(program, f.entry);
    files[name].functions.push_back({f.name, line, counts.runs()[f.entry]});
  }
  return files;
}

void writeFunctions(std::ostream& out, const SourceFile& file) {
  size_t hit = 0;
  for (const FunctionRecord& f : file.functions) out << "FN:" << f.line << ',' << f.name << '\n';
  for (const FunctionRecord& f : file.functions) {
    out << "FNDA:" << f.calls << ',' << f.name << '\n';
    hit += f.calls > 0;
  }
  out << "FNF:" << file.functions.size() << "\nFNH:" << hit << '\n';
}

void writeBranches(std::ostream& out, const SourceFile& file) {
  size_t found = 0, hit = 0;
  for (const auto& [line, jumps] : file.branches) {
    for (size_t block = 0; block < jumps.size(); ++block) {
      const Branch& b = jumps[block];
      for (int outcome = 0; outcome < 2; ++outcome) {
        const uint64_t taken = outcome == 0 ? b.jumped : b.passed;
        out << "BRDA:" << line << ',' << block << ',' << outcome << ',';
        if (b.ran) {
          out << taken << '\n';
        } else {
          out << "-\n";
        }
        ++found;
        hit += taken > 0;
      }
    }
  }
  out << "BRF:" << found << "\nBRH:" << hit << '\n';
}

void writeLines(std::ostream& out, const SourceFile& file) {
  size_t hit = 0;
  for (const auto& [line, runs] : file.lines) {
    out << "DA:" << line << ',' << runs << '\n';
    hit += runs > 0;
  }
  out << "LF:" << file.lines.size() << "\nLH:" << hit << '\n';
}

}  // namespace

void writeCoverage(std::ostream& out, const Program& program, const ExecutionCounts& counts,
                   const std::string& directory, const std::string& testName) {
  out << "TN:" << testName << '\n';
  for (const auto& [name, file] : collect(program, counts)) {
    out << "SF:" << (name.rfind('/', 0) == 0 ? name : directory + name) << '\n';
    writeFunctions(out, file);
    writeBranches(out, file);
    writeLines(out, file);
    out << "end_of_record\n";
  }
}

}  // namespace stackvm
