// The loader: reads the code and data files line by line, removes what
// null_last_line cancels, lays out the data image, resolves labels and host
// routines, and builds the Program. A Loader owns the Program it builds.
#include "vm/loader.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vm/builtins.h"
#include "vm/errors.h"
#include "vm/instruction_set.h"
#include "vm/numbers.h"

namespace stackvm {

namespace {

constexpr uint32_t kMaxWidth = 1u << 20;

// Where a line is: its source position from the last marker before it, with
// the line of the code or data file beside it; just that line without a marker.
struct Place {
  std::string at;    // "prog.c:12", or "prog.001:30" without a marker
  std::string code;  // "prog.001:30" when `at` is a source position, else empty

  std::string say(const std::string& message) const {
    return at + ": " + message + (code.empty() ? "" : " (" + code + ")");
  }
};

struct Label {
  bool code = false;
  uint32_t value = 0;  // instruction index or data address
  Place where;
};

struct Reference {
  uint32_t instruction = 0;
  std::string name;
  Place where;
  bool jump = false;
};

std::vector<std::string_view> splitWords(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

std::string shapeText(const std::vector<uint32_t>& params, uint32_t result) {
  std::string s = "(";
  for (size_t i = 0; i < params.size(); ++i) s += (i ? ", " : "") + std::to_string(params[i]);
  return s + ") -> " + std::to_string(result) + " bytes";
}

class Loader {
 public:
  Loader(const CodeFiles& files, const Prototypes& prototypes, std::ostream& warnings)
      : files_(files), prototypes_(prototypes), warnings_(warnings) {}

  Program run() {
    program_.codeFileName = files_.base + ".001";
    for (int section = 0; section < 4; ++section) readFile(section);
    program_.code.push_back({Op::past_end});
    program_.code.push_back({Op::halt});
    for (int k = 0; k < 2; ++k) {
      program_.positions.push_back(program_.positions.empty() ? Position{}
                                                              : program_.positions.back());
      program_.text.emplace_back("(end of code)");
    }
    resolve();
    findFunctions();
    findMain();
    return std::move(program_);
  }

 private:
  Place where() const {
    std::string line = fileName_ + ":" + std::to_string(lineNo_);
    if (source_.file == 0) return {line, ""};
    return {program_.sourceFiles[source_.file] + ":" + std::to_string(source_.line), line};
  }

  [[noreturn]] void fail(const std::string& message) const {
    throw LoadError(where().say(message));
  }

  void warn(const std::string& message) {
    warnings_ << printable(where().say("warning: " + message)) << '\n';
  }

  void readFile(int section) {
    section_ = section;
    fileName_ = files_.base + ".00" + std::to_string(section + 1);
    lineNo_ = 0;
    source_ = {};
    std::string_view text = files_.texts[section];
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      ++lineNo_;
      readLine(trim(text.substr(pos, end - pos)));
      pos = end + 1;
    }
  }

  void readLine(std::string_view line) {
    if (line.empty()) return;
    if (line.size() > 5 && line.substr(0, 5) == "LINE:") return readMarker(line.substr(5));
    std::vector<std::string_view> words = splitWords(line);
    if (words.size() == 1 && words[0].back() == ':') return defineLabel(words[0]);
    if (section_ == 0) return readInstruction(words, line);
    readData(words);
  }

  void readMarker(std::string_view rest) {
    size_t colon = rest.find(':');
    std::optional<ParsedNumber> n;
    if (colon != std::string_view::npos) n = parseNumber(rest.substr(0, colon));
    if (!n || n->negative || rest[0] < '0' || rest[0] > '9' || colon + 1 >= rest.size()) {
      fail("malformed position marker");
    }
    std::string file(rest.substr(colon + 1));
    auto [it, added] = fileIds_.emplace(file, static_cast<uint32_t>(program_.sourceFiles.size()));
    if (added) program_.sourceFiles.push_back(file);
    source_.file = it->second;
    source_.line = n->within(0, UINT32_MAX) ? static_cast<uint32_t>(n->magnitude) : UINT32_MAX;
  }

  void defineLabel(std::string_view word) {
    std::string name(word.substr(0, word.size() - 1));
    if (name.empty() || name.find(':') != std::string::npos) fail("malformed label");
    Label label;
    label.code = section_ == 0;
    label.value = label.code ? static_cast<uint32_t>(program_.code.size())
                             : kDataBase + static_cast<uint32_t>(program_.data.size());
    label.where = where();
    auto [it, added] = labels_.emplace(name, label);
    if (!added) fail("label " + name + " is already defined at " + it->second.where.at);
    if (label.code) {
      labelAtEnd_ = true;
      lastCodeLabel_ = label.value;
    } else {
      program_.dataLabels.emplace(name, label.value);
    }
  }

  uint32_t width(std::string_view word, uint32_t low) {
    std::optional<ParsedNumber> n = parseNumber(word);
    if (!n || !n->within(low, kMaxWidth)) fail("malformed width '" + std::string(word) + "'");
    return static_cast<uint32_t>(n->magnitude);
  }

  uint32_t scalarWidth(std::string_view word) {
    uint32_t w = width(word, 1);
    if (w != 1 && w != 4 && w != 8)
      fail("arithmetic at a structure size (" + std::to_string(w) + ")");
    return w;
  }

  void expectOperands(const std::vector<std::string_view>& words, size_t count) {
    if (words.size() != count + 1) {
      fail(std::string(words[0]) + " takes " + std::to_string(count) + " operand(s)");
    }
  }

  static size_t operandCount(Operands kind) {
    return kind == Operands::none || kind == Operands::cancel ? 0
           : kind == Operands::two_scalar                     ? 2
                                                              : 1;
  }

  void readInstruction(const std::vector<std::string_view>& words, std::string_view line) {
    std::optional<Mnemonic> m = findMnemonic(words[0]);
    if (!m) {
      fail(db(words[0]) ? "data line in the code file"
                        : "unknown instruction '" + std::string(words[0]) + "'");
    }
    expectOperands(words, operandCount(m->operands));
    if (m->operands == Operands::cancel) return cancelLast();
    append(decode(*m, words), line);
  }

  Instruction decode(const Mnemonic& m, const std::vector<std::string_view>& words) {
    Instruction in{m.op};
    switch (m.operands) {
      case Operands::label:
        refer(words[1], true);
        break;
      case Operands::value:
        in.a = value(words[1]);
        break;
      case Operands::scalar:
        in.op = *sizedOp(m.op, scalarWidth(words[1]));
        break;
      case Operands::move:
        in.a = width(words[1], 1);
        in.op = sizedOp(m.op, in.a).value_or(static_cast<Op>(static_cast<int>(m.op) + 3));
        break;
      case Operands::drop:
        in.a = width(words[1], 0);
        if (in.a == 0) in.op = Op::nop;
        break;
      case Operands::two_scalar:
        in.a = scalarWidth(words[1]);
        in.b = scalarWidth(words[2]);
        break;
      case Operands::none:
      case Operands::cancel:
        break;
    }
    return in;
  }

  static bool db(std::string_view w) { return w == "db" || w == "dd"; }

  void append(const Instruction& in, std::string_view line) {
    if (program_.code.size() >= kMaxInstructions) fail("more than 16M instructions");
    program_.code.push_back(in);
    program_.positions.push_back({source_.file, source_.line, lineNo_});
    program_.text.push_back(printable(std::string(line)));
    labelAtEnd_ = false;
  }

  uint32_t value(std::string_view word) {
    if (!looksNumeric(word)) {
      refer(word, false);
      return 0;
    }
    std::optional<ParsedNumber> n = parseNumber(word);
    if (!n) fail("malformed number '" + std::string(word) + "'");
    if (!n->within(INT32_MIN, UINT32_MAX))
      warn(std::string(word) + " does not fit in 32 bits; taken modulo 2^32");
    return n->low32();
  }

  void refer(std::string_view name, bool jump) {
    refs_.push_back(
        {static_cast<uint32_t>(program_.code.size()), std::string(name), where(), jump});
  }

  void cancelLast() {
    if (program_.code.empty()) fail("null_last_line without an instruction before it");
    if (labelAtEnd_)
      fail("null_last_line after a label: the label stands between it and the instruction");
    uint32_t last = static_cast<uint32_t>(program_.code.size()) - 1;
    while (!refs_.empty() && refs_.back().instruction == last) refs_.pop_back();
    program_.code.pop_back();
    program_.positions.pop_back();
    program_.text.pop_back();
    labelAtEnd_ = lastCodeLabel_ == static_cast<int64_t>(last);
  }

  void readData(const std::vector<std::string_view>& words) {
    if (!db(words[0])) {
      fail(findMnemonic(words[0]) ? "instruction in a data file"
                                  : "unknown data line '" + std::string(words[0]) + "'");
    }
    uint32_t size = words[0] == "db" ? 1 : 4;
    uint64_t count = 1;
    if (words.size() == 4 && words[2] == "DUP") {
      std::optional<ParsedNumber> n = parseNumber(words[3]);
      if (!n || !n->within(0, kMaxData))
        fail("malformed DUP count '" + std::string(words[3]) + "'");
      count = n->magnitude;
    } else if (words.size() != 2) {
      fail("malformed data line");
    }
    std::optional<ParsedNumber> v = looksNumeric(words[1]) ? parseNumber(words[1]) : std::nullopt;
    if (!v) fail("malformed data value '" + std::string(words[1]) + "'");
    bool fits = size == 1 ? v->within(-128, 255) : v->within(INT32_MIN, UINT32_MAX);
    if (!fits)
      warn(std::string(words[1]) + " does not fit in " + (size == 1 ? "a byte" : "4 bytes") +
           "; taken modulo");
    if (program_.data.size() + count * size > kMaxData) fail("the data exceed 64 MiB");
    for (uint64_t k = 0; k < count; ++k) {
      for (uint32_t b = 0; b < size; ++b)
        program_.data.push_back(static_cast<uint8_t>(v->bits >> (8 * b)));
    }
  }

  void resolve() {
    for (const Reference& ref : refs_) {
      Instruction& in = program_.code[ref.instruction];
      auto it = labels_.find(ref.name);
      if (it == labels_.end()) {
        if (ref.jump) throw LoadError(ref.where.say("goto " + ref.name + ": no such label"));
        in.a = hostAddress(ref);
      } else if (ref.jump) {
        if (!it->second.code) throw LoadError(ref.where.say("goto " + ref.name + ": a data label"));
        in.a = it->second.value;
      } else {
        in.a = it->second.code ? kCodeBase + it->second.value : it->second.value;
      }
    }
  }

  uint32_t hostAddress(const Reference& ref) {
    auto known = hostIds_.find(ref.name);
    if (known != hostIds_.end()) return kHostBase + known->second;
    auto it = prototypes_.find(ref.name);
    if (it == prototypes_.end()) {
      throw LoadError(
          ref.where.say(ref.name + " is neither defined in the program nor declared in Sys10.c"));
    }
    const Prototype& p = it->second;
    std::string at = p.where + ": " + ref.name;
    if (p.variadic) throw LoadError(at + ": a host routine with a variable argument list");
    for (uint32_t w : p.params) {
      if (w == 0) throw LoadError(at + ": a host routine cannot take a structure value");
    }
    HostRoutine routine{ref.name, p.params, p.result, -1};
    if (const BuiltinShape* b = findBuiltin(ref.name)) {
      if (b->params != p.params || b->result != p.result) {
        throw LoadError(at + " is declared as " + shapeText(p.params, p.result) +
                        ", but stackvm's " + ref.name + " is " + shapeText(b->params, b->result));
      }
      routine.builtin = static_cast<int>(b->id);
    }
    uint32_t id = static_cast<uint32_t>(program_.hosts.size());
    program_.hosts.push_back(routine);
    hostIds_.emplace(ref.name, id);
    return kHostBase + id;
  }

  void findFunctions();
  void findMain();
  void warnOutsideCode(const std::vector<bool>& covered);

  const CodeFiles& files_;
  const Prototypes& prototypes_;
  std::ostream& warnings_;
  Program program_;
  std::unordered_map<std::string, Label> labels_;
  std::unordered_map<std::string, uint32_t> fileIds_;
  std::unordered_map<std::string, uint32_t> hostIds_;
  std::vector<Reference> refs_;
  std::string fileName_;
  uint32_t lineNo_ = 0;
  int section_ = 0;
  Position source_;
  bool labelAtEnd_ = false;
  int64_t lastCodeLabel_ = -1;
};

// A function runs from its label to the first return at or after its end
// label. One backward pass finds each instruction's next return, and the
// covered ranges are counted in a difference array, so the work is linear in
// the code however many functions there are.
void Loader::findFunctions() {
  const std::string endPrefix = "end_function_func_";
  const uint32_t count = program_.instructionCount();
  std::vector<uint32_t> nextReturn(count + 1, count);
  for (uint32_t i = count; i-- > 0;)
    nextReturn[i] = program_.code[i].op == Op::ret ? i : nextReturn[i + 1];
  std::vector<int32_t> opened(count + 1, 0);
  program_.functionAt.assign(program_.code.size(), 0);
  for (const auto& [name, label] : labels_) {
    auto end = labels_.find(endPrefix + name);
    if (!label.code || end == labels_.end() || !end->second.code ||
        end->second.value < label.value) {
      continue;
    }
    const uint32_t last = nextReturn[std::min(end->second.value, count)];
    if (label.value < count) {
      ++opened[label.value];
      --opened[std::min(last, count - 1) + 1];
    }
    program_.functions.push_back({name, label.value});
    program_.functionAt[label.value] = static_cast<uint32_t>(program_.functions.size());
  }
  std::vector<bool> covered(count, false);
  int64_t depth = 0;
  for (uint32_t i = 0; i < count; ++i) covered[i] = (depth += opened[i]) > 0;
  warnOutsideCode(covered);
}

void Loader::warnOutsideCode(const std::vector<bool>& covered) {
  for (uint32_t i = 0; i < covered.size(); ++i) {
    if (!covered[i] && (i == 0 || covered[i - 1])) {
      warnings_ << describePosition(program_, i)
                << ": warning: code outside every function never runs\n";
    }
  }
}

void Loader::findMain() {
  auto it = labels_.find("main");
  if (it == labels_.end() || !it->second.code) {
    throw LoadError(program_.codeFileName + ": no function main");
  }
  program_.mainEntry = it->second.value;
}

}  // namespace

Program loadProgram(const CodeFiles& files, const Prototypes& prototypes, std::ostream& warnings) {
  return Loader(files, prototypes, warnings).run();
}

std::string describePosition(const Program& program, uint32_t index) {
  const Position& p = program.positions.at(index);
  if (p.file != 0) return printable(program.sourceFiles[p.file] + ":" + std::to_string(p.line));
  return printable(program.codeFileName + ":" + std::to_string(p.codeLine));
}

}  // namespace stackvm
