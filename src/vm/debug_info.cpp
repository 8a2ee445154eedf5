#include "vm/debug_info.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>

#include "vm/addresses.h"
#include "vm/errors.h"
#include "vm/numbers.h"

namespace stackvm {

namespace {

constexpr const char* kVersionLine = "stackcc-dbg";
constexpr uint32_t kVersion = 1;

std::vector<std::string> splitTabs(std::string_view line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    fields.emplace_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

class DebugReader {
 public:
  explicit DebugReader(const std::string& fileName) : fileName_(fileName) {}

  DebugInfo read(const std::string& text) {
    info_.typed = true;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      std::string_view line(text.data() + pos, end - pos);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      ++lineNo_;
      if (lineNo_ == 1) {
        readVersion(line);
      } else if (!line.empty() && line[0] != '#') {
        readRecord(splitTabs(line));
      }
      pos = end + 1;
    }
    if (lineNo_ == 0) fail("empty file: no version line");
    checkTypes();
    return std::move(info_);
  }

 private:
  [[noreturn]] void fail(const std::string& message) const {
    throw LoadError(fileName_ + ":" + std::to_string(lineNo_) + ": " + message);
  }

  void readVersion(std::string_view line) {
    const std::string prefix = std::string(kVersionLine) + " ";
    if (line.substr(0, prefix.size()) != prefix)
      fail("the first line is not 'stackcc-dbg <version>'");
    if (number(line.substr(prefix.size()), "version") != kVersion)
      fail("version " + std::string(line.substr(prefix.size())) + " is not known (1 is)");
  }

  uint32_t number(std::string_view text, const char* what) const {
    std::optional<ParsedNumber> n;
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos)
      n = parseNumber(text);
    if (!n || !n->within(0, kMaxData))
      fail(std::string("malformed ") + what + " '" + std::string(text) + "'");
    return static_cast<uint32_t>(n->magnitude);
  }

  std::string name(const std::string& text, const char* what) const {
    if (text.empty()) fail(std::string("empty ") + what);
    return text;
  }

  TypeInfo type(std::string text, const std::string& dims, bool voidAllowed) {
    TypeInfo t;
    while (!text.empty() && (text.back() == '*' || text.back() == ' ')) {
      if (text.back() == '*') ++t.pointers;
      text.pop_back();
    }
    t.base = text;
    const bool scalar = text == "char" || text == "int" || text == "long";
    const bool structure = t.isStruct() && t.tag().size() > 0;
    if (!scalar && !structure && !(text == "void" && (voidAllowed || t.pointers > 0)))
      fail("unknown type '" + text + "'");
    if (structure) usedTags_.emplace(t.tag(), lineNo_);
    if (dims != "-") {
      size_t start = 0;
      for (;;) {
        size_t comma = dims.find(',', start);
        t.dims.push_back(number(std::string_view(dims).substr(
                                    start, comma == std::string::npos ? comma : comma - start),
                                "dimension"));
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
    }
    return t;
  }

  void expect(const std::vector<std::string>& f, size_t count) const {
    if (f.size() != count)
      fail(f[0] + " takes " + std::to_string(count - 1) + " fields, separated by tabs");
  }

  void readRecord(const std::vector<std::string>& f) {
    const std::string& kind = f[0];
    if (kind == "function") return readFunction(f);
    if (kind == "parameter" || kind == "local") return readLocal(f);
    if (kind == "global") return readGlobal(f);
    if (kind == "structure") return readStructure(f);
    if (kind == "member") return readMember(f);
    fail("unknown record '" + kind + "'");
  }

  void readFunction(const std::vector<std::string>& f) {
    expect(f, 7);
    FunctionInfo fn{name(f[1], "function name"),
                    name(f[2], "label"),
                    name(f[3], "file name"),
                    number(f[4], "line"),
                    number(f[5], "line"),
                    type(f[6], "-", true),
                    {}};
    if (fn.last < fn.first) fail("the last line is before the first");
    if (info_.function(fn.name)) fail("function " + fn.name + " is described twice");
    info_.functions.push_back(std::move(fn));
  }

  void addVariable(VariableInfo v) {
    if (!seen_.insert(v.scope + '\n' + v.name).second)
      fail((v.scope.empty() ? "global " : v.scope + ": ") + v.name + " is described twice");
    info_.variables.push_back(std::move(v));
  }

  void readLocal(const std::vector<std::string>& f) {
    expect(f, 7);
    auto fn = std::find_if(info_.functions.begin(), info_.functions.end(),
                           [&](const FunctionInfo& x) { return x.name == f[1]; });
    if (fn == info_.functions.end()) fail("function " + f[1] + " is not described before");
    VariableInfo v{name(f[2], "name"),   f[1],
                   name(f[3], "label"),  type(f[4], f[5], false),
                   number(f[6], "size"), f[0] == "parameter"};
    if (v.parameter) fn->params.push_back(v.name);
    addVariable(std::move(v));
  }

  void readGlobal(const std::vector<std::string>& f) {
    expect(f, 6);
    addVariable({name(f[1], "name"), "", name(f[2], "label"), type(f[3], f[4], false),
                 number(f[5], "size"), false});
  }

  void readStructure(const std::vector<std::string>& f) {
    expect(f, 3);
    StructureInfo s{name(f[1], "tag"), number(f[2], "size"), {}};
    if (info_.structure(s.tag)) fail("structure " + s.tag + " is described twice");
    info_.structures.push_back(std::move(s));
  }

  void readMember(const std::vector<std::string>& f) {
    expect(f, 7);
    auto s = std::find_if(info_.structures.begin(), info_.structures.end(),
                          [&](const StructureInfo& x) { return x.tag == f[1]; });
    if (s == info_.structures.end()) fail("structure " + f[1] + " is not described before");
    MemberInfo m{name(f[2], "member name"), number(f[3], "offset"), type(f[4], f[5], false),
                 number(f[6], "size")};
    if (uint64_t{m.offset} + m.size > s->size)
      fail("member " + m.name + " reaches past the end of structure " + s->tag);
    s->members.push_back(std::move(m));
  }

  void checkTypes() {
    for (const auto& [tag, line] : usedTags_) {
      if (!info_.structure(tag)) {
        lineNo_ = line;
        fail("structure " + tag + " is not described");
      }
    }
  }

  std::string fileName_;
  size_t lineNo_ = 0;
  DebugInfo info_;
  std::set<std::string> seen_;
  std::map<std::string, size_t> usedTags_;
};

// A label that names no variable: section heads and string data.
bool internalLabel(const std::string& label) {
  return label.rfind("INI_BLOCK_", 0) == 0 || label.rfind("PTR_AUX_NUMBER_", 0) == 0;
}

// "x_func_main" -> {"x", "main"} when main is a function of the program.
std::pair<std::string, std::string> splitLocal(const std::string& label,
                                               const std::set<std::string>& functions) {
  const std::string mark = "_func_";
  for (size_t at = label.find(mark); at != std::string::npos; at = label.find(mark, at + 1)) {
    std::string owner = label.substr(at + mark.size());
    if (at > 0 && functions.count(owner)) return {label.substr(0, at), owner};
  }
  return {label, ""};
}

}  // namespace

TypeInfo TypeInfo::element() const {
  TypeInfo t = *this;
  if (!t.dims.empty()) {
    t.dims.erase(t.dims.begin());
  } else if (t.pointers > 0) {
    --t.pointers;
  }
  return t;
}

std::string TypeInfo::text() const {
  std::string s = base.empty() ? std::string("?") : base;
  if (pointers > 0) s.append(" ").append(pointers, '*');
  if (!dims.empty()) s.push_back(' ');
  for (uint32_t d : dims) s.append("[").append(std::to_string(d)).append("]");
  return s;
}

const FunctionInfo* DebugInfo::function(const std::string& name) const {
  for (const FunctionInfo& f : functions) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

const StructureInfo* DebugInfo::structure(const std::string& tag) const {
  for (const StructureInfo& s : structures) {
    if (s.tag == tag) return &s;
  }
  return nullptr;
}

const VariableInfo* DebugInfo::variable(const std::string& name,
                                        const std::string& function) const {
  const VariableInfo* global = nullptr;
  for (const VariableInfo& v : variables) {
    if (v.name != name) continue;
    if (!function.empty() && v.scope == function) return &v;
    if (v.scope.empty() && !global) global = &v;
  }
  return global;
}

uint32_t DebugInfo::sizeOf(const TypeInfo& type) const {
  uint64_t size = 4;
  if (type.pointers == 0) {
    if (type.base == "char") size = 1;
    if (type.base == "long") size = 8;
    if (type.isStruct()) {
      const StructureInfo* s = structure(type.tag());
      size = s ? s->size : 0;
    }
  }
  for (uint32_t d : type.dims) size = std::min<uint64_t>(size * d, kMaxData);
  return static_cast<uint32_t>(size);
}

DebugInfo parseDebugInfo(const std::string& text, const std::string& fileName) {
  return DebugReader(fileName).read(text);
}

DebugInfo debugInfoFromLabels(const Program& program) {
  DebugInfo info;
  std::set<std::string> functions;
  for (const Function& f : program.functions) functions.insert(f.name);
  for (const Function& f : program.functions) {
    FunctionInfo fn;
    fn.name = fn.label = f.name;
    const Position& p = program.positions[f.entry];
    fn.file = p.file ? program.sourceFiles[p.file] : program.codeFileName;
    fn.first = fn.last = p.file ? p.line : p.codeLine;
    info.functions.push_back(std::move(fn));
  }
  std::vector<std::pair<uint32_t, std::string>> byAddress;
  for (const auto& [label, address] : program.dataLabels) byAddress.emplace_back(address, label);
  std::sort(byAddress.begin(), byAddress.end());
  const uint32_t end = kDataBase + static_cast<uint32_t>(program.data.size());
  for (size_t i = 0; i < byAddress.size(); ++i) {
    const auto& [address, label] = byAddress[i];
    if (internalLabel(label)) continue;
    uint32_t next = end;
    for (size_t k = i + 1; k < byAddress.size(); ++k) {
      if (byAddress[k].first > address) {
        next = byAddress[k].first;
        break;
      }
    }
    auto [name, scope] = splitLocal(label, functions);
    info.variables.push_back({name, scope, label, {}, next - address, false});
  }
  return info;
}

}  // namespace stackvm
