#include "decl/usage.h"

#include <algorithm>
#include <functional>

#include "base/text_helpers.h"
#include "decl/tables.h"
#include "io/diagnostics.h"

namespace stackcc {

namespace {

// The function whose body is being compiled, empty outside a body.
std::string_view CurrentFunction(const Compiler& c) {
  std::string_view label = c.decl.currentFunctionLabel.view();
  return label.starts_with(kFunctionMark) ? label.substr(kFunctionMark.size()) : std::string_view{};
}

int FunctionId(Compiler& c, std::string_view name) {
  UsageState& u = c.decl.usage;
  auto found = u.functionIds.find(std::string(name));
  if (found != u.functionIds.end()) return found->second;
  int id = static_cast<int>(u.functions.size());
  u.functions.push_back({});
  u.functions.back().name.assign(name);
  u.functionIds.emplace(std::string(name), id);
  return id;
}

bool IsFunction(const Compiler& c, int s) {
  return s > 0 && s <= c.decl.symbolCount && c.decl.symbols[s].kind == SymFunction;
}

}  // namespace

void NoteDeclaredSymbol(Compiler& c, int record, int memberFlag) {
  if (!TracksUsage(c) || memberFlag == 1 || IsFunction(c, record)) return;
  std::string_view function = CurrentFunction(c);
  std::string_view name = c.decl.symbols[record].name.view();
  // Only names scoped to the function are its locals (string literals are not).
  if (function.empty() || !name.ends_with(c.decl.currentFunctionLabel.view())) return;
  int id = FunctionId(c, function);
  c.decl.usage.functions[static_cast<std::size_t>(id)].hasLocals = true;
  if (!TracksReads(c)) return;
  UsageState& u = c.decl.usage;
  u.localOfSymbol.emplace(record, static_cast<int>(u.locals.size()));
  u.locals.push_back({record, id, CurrentPosition(c), false});
}

void NoteFunctionHead(Compiler& c, std::string_view name, bool isPublic, bool isBody) {
  if (!TracksUsage(c)) return;
  FunctionUse& f = c.decl.usage.functions[static_cast<std::size_t>(FunctionId(c, name))];
  f.isPublic = f.isPublic || isPublic;
  if (isBody && !f.defined) {
    f.defined = true;
    f.at = CurrentPosition(c);
  }
}

void NoteRead(Compiler& c, int s, bool assigned) {
  UsageState& u = c.decl.usage;
  if (IsFunction(c, s)) {
    std::string_view name = c.decl.symbols[s].name.view();
    if (name != CurrentFunction(c)) {
      u.functions[static_cast<std::size_t>(FunctionId(c, name))].referenced = true;
    }
    return;
  }
  auto local = u.localOfSymbol.find(s);
  if (local != u.localOfSymbol.end() && !assigned) {
    u.locals[static_cast<std::size_t>(local->second)].read = true;
  }
}

void NoteCallOf(Compiler& c, int s) {
  std::string_view caller = CurrentFunction(c);
  if (!IsFunction(c, s) || caller.empty()) return;
  int callee = FunctionId(c, c.decl.symbols[s].name.view());
  std::vector<int>& callees =
      c.decl.usage.functions[static_cast<std::size_t>(FunctionId(c, caller))].callees;
  if (std::find(callees.begin(), callees.end(), callee) == callees.end()) {
    callees.push_back(callee);
  }
}

}  // namespace stackcc

namespace stackcc {

namespace {

// The strongly connected parts of the call graph (Tarjan, without recursion so
// that a long call chain cannot exhaust the stack): a part number per function.
std::vector<int> CallGraphParts(const std::vector<FunctionUse>& fs) {
  const int n = static_cast<int>(fs.size());
  std::vector<int> index(n, -1), low(n, 0), part(n, -1), stack;
  std::vector<bool> onStack(n, false);
  struct Frame {
    int node;
    std::size_t next;
  };
  int counter = 0, parts = 0;
  for (int root = 0; root < n; ++root) {
    if (index[root] >= 0) continue;
    std::vector<Frame> frames{{root, 0}};
    index[root] = low[root] = counter++;
    stack.push_back(root);
    onStack[root] = true;
    while (!frames.empty()) {
      Frame& f = frames.back();
      const std::vector<int>& out = fs[static_cast<std::size_t>(f.node)].callees;
      if (f.next < out.size()) {
        int to = out[f.next++];
        if (index[to] < 0) {
          index[to] = low[to] = counter++;
          stack.push_back(to);
          onStack[to] = true;
          frames.push_back({to, 0});
        } else if (onStack[to]) {
          low[f.node] = std::min(low[f.node], index[to]);
        }
        continue;
      }
      int node = f.node;
      frames.pop_back();
      if (!frames.empty()) low[frames.back().node] = std::min(low[frames.back().node], low[node]);
      if (low[node] != index[node]) continue;
      for (int member = -1; member != node;) {
        member = stack.back();
        stack.pop_back();
        onStack[member] = false;
        part[member] = parts;
      }
      ++parts;
    }
  }
  return part;
}

// The shortest way from start back to start inside its part, as "f -> g -> f";
// empty when there is none (a part of one function that does not call itself).
std::string CycleText(const std::vector<FunctionUse>& fs, const std::vector<int>& part, int start) {
  std::vector<int> from(fs.size(), -2);
  std::vector<int> queue{start};
  int last = -1;
  for (std::size_t q = 0; q < queue.size() && last < 0; ++q) {
    for (int to : fs[static_cast<std::size_t>(queue[q])].callees) {
      if (part[to] != part[start]) continue;
      if (to == start) {
        last = queue[q];
        break;
      }
      if (from[to] != -2) continue;
      from[to] = queue[q];
      queue.push_back(to);
    }
  }
  if (last < 0) return {};
  std::vector<int> path;
  for (int at = last; at != start; at = from[at]) path.push_back(at);
  std::string text = fs[static_cast<std::size_t>(start)].name;
  for (auto it = path.rbegin(); it != path.rend(); ++it) text += " -> " + fs[*it].name;
  return text + " -> " + fs[static_cast<std::size_t>(start)].name;
}

void ReportRecursion(Compiler& c) {
  const std::vector<FunctionUse>& fs = c.decl.usage.functions;
  std::vector<int> part = CallGraphParts(fs);
  std::vector<bool> told(fs.size(), false);
  // Functions without locals or parameters share nothing between activations.
  std::vector<bool> shares(fs.size(), false);
  for (std::size_t i = 0; i < fs.size(); ++i) {
    if (fs[i].hasLocals) shares[static_cast<std::size_t>(part[i])] = true;
  }
  for (std::size_t i = 0; i < fs.size(); ++i) {
    auto p = static_cast<std::size_t>(part[i]);
    if (told[p] || !shares[p]) continue;
    std::string cycle = CycleText(fs, part, static_cast<int>(i));
    if (cycle.empty()) continue;
    told[p] = true;
    ReportWarningAt(c, Warning::kRecursion, fs[i].at,
                    "'" + cycle +
                        "' is a recursion: every local and parameter is one static data item "
                        "here, so an inner call overwrites the values of the call still running; "
                        "write it as a loop, or save what the caller needs before the call");
  }
}

std::string_view BareName(std::string_view stored) {
  return stored.substr(0, stored.find(kFunctionMark));
}

void ReportUnused(Compiler& c) {
  const UsageState& u = c.decl.usage;
  for (const LocalUse& local : u.locals) {
    if (local.read) continue;
    std::string text = "'";
    text += BareName(c.decl.symbols[local.symbol].name.view());
    text += "' in '" + u.functions[static_cast<std::size_t>(local.function)].name +
            "' is never read, yet it takes a data item of its own: remove it, or use its value";
    ReportWarningAt(c, Warning::kUnused, local.at, text);
  }
  for (const FunctionUse& f : u.functions) {
    if (!f.defined || f.isPublic || f.referenced || f.name == "main") continue;
    ReportWarningAt(c, Warning::kUnused, f.at,
                    "function '" + f.name +
                        "' is neither public nor called nor taken as a value, yet its code is "
                        "written: remove it, or declare it public if other code calls it");
  }
}

}  // namespace

void ReportUsage(Compiler& c) {
  if (WarningOn(c.run.tools, Warning::kRecursion)) ReportRecursion(c);
  if (TracksReads(c)) ReportUnused(c);
}

}  // namespace stackcc
