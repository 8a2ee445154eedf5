#include "vm/profile.h"

#include <algorithm>
#include <iomanip>
#include <map>
#include <ostream>
#include <vector>

#include "vm/errors.h"

namespace stackvm {

namespace {

struct Place {
  std::string file;
  uint32_t line = 0;
};

Place placeOf(const Program& program, uint32_t pc) {
  const Position& p = program.positions[pc];
  if (p.file != 0) return {printable(program.sourceFiles[p.file]), p.line};
  return {printable(program.codeFileName), p.codeLine};
}

std::string pathOf(const std::string& name, const std::string& directory) {
  return name.rfind('/', 0) == 0 ? name : directory + name;
}

// Self cost per function: file -> line -> instructions.
using LineCosts = std::map<std::string, std::map<uint32_t, uint64_t>>;

std::vector<LineCosts> selfCosts(const Program& program, const ExecutionCounts& counts) {
  std::vector<LineCosts> costs(program.functions.size());
  for (uint32_t pc = 0; pc < program.code.size(); ++pc) {
    const uint64_t runs = counts.runs()[pc];
    const uint32_t f = counts.functionOf()[pc];
    if (runs == 0 || f == kNoFunction) continue;
    Place p = placeOf(program, pc);
    costs[f][p.file][p.line] += runs;
  }
  return costs;
}

void writeCalls(std::ostream& out, const Program& program, const ExecutionCounts& counts,
                uint32_t caller, const std::string& directory) {
  for (const auto& [key, call] : counts.calls()) {
    const auto [from, at, callee] = key;
    if (from != caller || callee == kNoFunction) continue;
    const Place site = placeOf(program, at);
    const Place target = placeOf(program, program.functions[callee].entry);
    out << "fi=" << pathOf(site.file, directory) << '\n';
    out << "cfi=" << pathOf(target.file, directory) << '\n';
    out << "cfn=" << program.functions[callee].name << '\n';
    out << "calls=" << call.count << ' ' << target.line << '\n';
    out << site.line << ' ' << call.inclusive << '\n';
  }
}

}  // namespace

void writeProfile(std::ostream& out, const Program& program, const ExecutionCounts& counts,
                  const std::string& directory, const std::string& command) {
  out << "# callgrind format\nversion: 1\ncreator: stackvm\n";
  out << "cmd: " << printable(command) << "\npositions: line\nevents: Ir\n";
  out << "summary: " << counts.total() << "\n\n";
  const std::vector<LineCosts> costs = selfCosts(program, counts);
  for (uint32_t f = 0; f < program.functions.size(); ++f) {
    const Place home = placeOf(program, program.functions[f].entry);
    out << "fl=" << pathOf(home.file, directory) << '\n';
    out << "fn=" << program.functions[f].name << '\n';
    for (const auto& [file, lines] : costs[f]) {
      out << "fi=" << pathOf(file, directory) << '\n';
      for (const auto& [line, cost] : lines) out << line << ' ' << cost << '\n';
    }
    writeCalls(out, program, counts, f, directory);
    out << '\n';
  }
  out << "totals: " << counts.total() << '\n';
}

namespace {

struct Row {
  std::string name;
  uint64_t self = 0;
  uint64_t inclusive = 0;
};

void printRows(std::ostream& err, std::vector<Row> rows, size_t most, uint64_t total,
               bool inclusive) {
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    return a.self != b.self ? a.self > b.self : a.name < b.name;
  });
  if (rows.size() > most) rows.resize(most);
  for (const Row& r : rows) {
    const double share = total == 0 ? 0.0 : 100.0 * static_cast<double>(r.self) / total;
    err << std::setw(14) << r.self << std::setw(7) << std::fixed << std::setprecision(1) << share
        << "%";
    if (inclusive) err << std::setw(14) << r.inclusive;
    err << "  " << r.name << '\n';
  }
}

}  // namespace

void printProfileSummary(std::ostream& err, const Program& program, const ExecutionCounts& counts,
                         size_t rows) {
  const std::ios_base::fmtflags flags = err.flags();
  const std::streamsize precision = err.precision();
  std::vector<Row> functions;
  const std::vector<LineCosts> costs = selfCosts(program, counts);
  std::map<std::string, uint64_t> lines;
  for (uint32_t f = 0; f < program.functions.size(); ++f) {
    Row row{program.functions[f].name, 0, counts.inclusive()[f]};
    for (const auto& [file, perLine] : costs[f]) {
      for (const auto& [line, cost] : perLine) {
        row.self += cost;
        lines[file + ":" + std::to_string(line)] += cost;
      }
    }
    if (row.self > 0 || row.inclusive > 0) functions.push_back(row);
  }
  std::vector<Row> lineRows;
  for (const auto& [name, cost] : lines) lineRows.push_back({name, cost, 0});
  err << "profile: " << counts.total() << " instructions\n";
  err << "  instructions   self     inclusive  function\n";
  printRows(err, functions, rows, counts.total(), true);
  err << "  instructions   self  line\n";
  printRows(err, lineRows, rows, counts.total(), false);
  err.flags(flags);
  err.precision(precision);
}

}  // namespace stackvm
