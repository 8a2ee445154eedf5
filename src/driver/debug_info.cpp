#include "driver/debug_info.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <vector>

#include "base/compiler.h"
#include "base/text_helpers.h"
#include "decl/tables.h"
#include "driver/driver.h"
#include "driver/passes.h"
#include "io/out_file.h"
#include "io/paths.h"
#include "io/run_state.h"

namespace stackcc {

namespace {

constexpr std::string_view kVersionLine = "stackcc-dbg 1";
constexpr std::string_view kStructWord = "struct ";

// The functions with a body, by name: their place in the order written.
using Bodies = std::map<std::string, std::size_t, std::less<>>;

// A symbol's name as the source wrote it and the function it is a local of
// (empty for a global).
struct ScopedName {
  std::string_view name;
  std::string_view function;
};

// A local's stored name is its source name, "_func_" and the function's name;
// the first such split whose function has a body decides.
ScopedName SplitScope(std::string_view stored, const Bodies& bodies) {
  for (std::size_t at = stored.find(kFunctionMark); at != std::string_view::npos;
       at = stored.find(kFunctionMark, at + 1)) {
    std::string_view function = stored.substr(at + kFunctionMark.size());
    if (at > 0 && bodies.count(function) != 0) return {stored.substr(0, at), function};
  }
  return {stored, {}};
}

// The bytes an object takes: the element (4 for a pointer) times every dimension.
std::string SizeText(std::int64_t element, const DimensionRecord* dims) {
  std::int64_t size = element;
  if (dims != nullptr) {
    for (int k = 1; k <= dims->values[0] && k <= kMaxDimensions; ++k) {
      size =
          std::min<std::int64_t>(size * dims->values[k], std::numeric_limits<std::int32_t>::max());
    }
  }
  return std::to_string(std::max<std::int64_t>(size, 0));
}

class DebugWriter {
 public:
  explicit DebugWriter(const Compiler& c) : c_(c), d_(c.decl) {}

  std::string Text() {
    Record({kVersionLine});
    CollectBodiesAndMembers();
    for (int m = 1; m <= d_.memberCount; ++m) Structure(d_.members[m].owner.view());
    std::vector<std::vector<int>> locals = Variables();
    for (std::size_t f = 0; f < functions_.size(); ++f) Function(*functions_[f], locals[f]);
    // A tag used but never defined still names a structure (of no members).
    // Over a copy: describing a structure notes the tags its members use.
    for (const std::string& tag : std::vector<std::string>(usedTags_.begin(), usedTags_.end())) {
      Structure(tag);
    }
    return text_;
  }

 private:
  void Record(const std::vector<std::string_view>& fields) {
    for (std::size_t k = 0; k < fields.size(); ++k) {
      if (k > 0) text_ += '\t';
      text_ += DebugField(fields[k]);
    }
    text_ += "\r\n";
  }

  void CollectBodiesAndMembers() {
    for (const FunctionNote& note : d_.debugNotes.functions) {
      if (bodies_.try_emplace(std::string(note.name.view()), functions_.size()).second) {
        functions_.push_back(&note);
      }
    }
    for (int m = 1; m <= d_.memberCount; ++m) {
      const MemberRecord& r = d_.members[m];
      std::string name(r.owner.view());
      name.append(kMemberMark).append(r.member.view());
      memberSymbols_.insert(std::move(name));
    }
  }

  const SymbolRecord* ExactSymbol(std::string_view name) const {
    int i = d_.symbolIndex.Find(d_.symbols, name, {}, SymbolIndex::StoredKeyHash(name));
    return i > 0 ? &d_.symbols[i] : nullptr;
  }

  const DimensionRecord* DimsOf(const SymbolRecord& r) const {
    if (r.isArray != 1 || r.dimIndex < 0 || r.dimIndex >= d_.dimensionCount) return nullptr;
    return &d_.dimensions[r.dimIndex];
  }

  std::string TypeOf(std::string_view tag, int elementSize, bool pointer) {
    if (!tag.empty()) usedTags_.emplace(tag);
    return DebugTypeText(tag, elementSize, pointer);
  }

  void Structure(std::string_view tag) {
    if (tag.empty() || !described_.insert(std::string(tag)).second) return;
    auto list = d_.memberIndex.find(tag);
    int size = list == d_.memberIndex.end() ? 0 : std::max(list->second.totalSize, 0);
    Record({"structure", tag, std::to_string(size)});
    if (list == d_.memberIndex.end()) return;
    std::set<std::string_view> seen;  // a structure defined twice: its first members
    for (int m : list->second.records) {
      if (seen.insert(d_.members[m].member.view()).second) Member(tag, d_.members[m]);
    }
  }

  void Member(std::string_view tag, const MemberRecord& m) {
    std::string symbol(tag);
    symbol.append(kMemberMark).append(m.member.view());
    const SymbolRecord* r = ExactSymbol(symbol);
    std::string_view ownTag = m.structure && r != nullptr ? TypeNameOf(d_, *r) : "";
    const DimensionRecord* dims = r != nullptr ? DimsOf(*r) : nullptr;
    std::string type = TypeOf(ownTag, m.elemSize, m.indirection == 2);
    Record({"member", tag, m.member.view(), std::to_string(m.offset), type,
            dims != nullptr ? DebugDimensionsText(*dims) : "-", std::to_string(m.totalSize)});
  }

  // Writes the globals; gives each function's locals, in table order.
  std::vector<std::vector<int>> Variables() {
    std::vector<std::vector<int>> locals(functions_.size());
    for (int i = 1; i <= d_.symbolCount; ++i) {
      const SymbolRecord& r = d_.symbols[i];
      bool literal = r.kind == SymArray && r.isArray == 0;
      if (r.kind == SymFunction || literal || memberSymbols_.count(r.name.view()) != 0) continue;
      ScopedName scoped = SplitScope(r.name.view(), bodies_);
      if (scoped.function.empty()) {
        Variable({"global"}, r);
        continue;
      }
      locals[bodies_.find(scoped.function)->second].push_back(i);
    }
    return locals;
  }

  // A variable's record: the fields given, then its name, label, type,
  // dimensions and size.
  void Variable(std::vector<std::string_view> fields, const SymbolRecord& r) {
    bool pointer = r.indirection == 2;
    const DimensionRecord* dims = DimsOf(r);
    std::string type = TypeOf(TypeNameOf(d_, r), r.sizes[0], pointer);
    std::string dimsText = dims != nullptr ? DebugDimensionsText(*dims) : "-";
    std::string size = SizeText(pointer ? 4 : r.sizes[0], dims);
    std::string_view name = SplitScope(r.name.view(), bodies_).name;
    fields.insert(fields.end(), {name, r.name.view(), type, dimsText, size});
    Record(fields);
  }

  void Function(const FunctionNote& note, const std::vector<int>& locals) {
    std::string_view name = note.name.view();
    std::string_view file = note.file.empty() ? c_.driver.sourceName.view() : note.file.view();
    std::string_view result = note.returnType.view();
    if (result.starts_with(kStructWord)) usedTags_.emplace(result.substr(kStructWord.size()));
    Record({"function", name, name, file, std::to_string(note.firstLine),
            std::to_string(std::max(note.lastLine, note.firstLine)), result});
    for (int p : note.parameters) Variable({"parameter", name}, d_.symbols[p]);
    for (int i : locals) {
      if (std::find(note.parameters.begin(), note.parameters.end(), i) == note.parameters.end())
        Variable({"local", name}, d_.symbols[i]);
    }
  }

  const Compiler& c_;
  const DeclState& d_;
  std::string text_;
  std::vector<const FunctionNote*> functions_;  // each name's first body
  Bodies bodies_;
  std::set<std::string, std::less<>> memberSymbols_;
  std::set<std::string, std::less<>> described_;
  std::set<std::string, std::less<>> usedTags_;  // every tag a type names
};

}  // namespace

std::string DebugTypeText(std::string_view structTag, int elementSize, bool pointer) {
  std::string text;
  if (!structTag.empty()) {
    text.assign(kStructWord).append(structTag);
  } else {
    text = elementSize == 1 ? "char" : elementSize == 8 ? "long" : "int";
  }
  if (pointer) text += '*';
  return text;
}

std::string DebugDimensionsText(const DimensionRecord& dims) {
  int count = std::min(dims.values[0], kMaxDimensions);
  if (count <= 0) return "-";
  std::string text;
  for (int k = 1; k <= count; ++k) {
    if (k > 1) text += ',';
    text += std::to_string(std::max(dims.values[k], 0));
  }
  return text;
}

std::string DebugField(std::string_view text) {
  std::string field(text);
  for (char& ch : field) {
    if (ch == '\t' || ch == '\r' || ch == '\n') ch = ' ';
  }
  return field;
}

std::string DebugInfoText(const Compiler& c) {
  return DebugWriter(c).Text();
}

bool WriteDebugInfo(Compiler& c) {
  if (!c.run.tools.debugInfo) return true;
  std::string path = PathOfDerived(Derived(c, ".dbg"));
  OutFile file;
  if (file.Open(path, false) && file.Write(DebugInfoText(c)) && file.Close()) return true;
  file.Discard();
  CannotWrite(c, Derived(c, ".dbg"));
  return false;
}

}  // namespace stackcc
