#include "vm/debug_expression.h"

#include <cctype>

#include "vm/addresses.h"
#include "vm/numbers.h"
#include "vm/widths.h"

namespace stackvm {

namespace {

constexpr uint32_t kMaxDepth = 64;  // nesting of parentheses and unary operators

bool scalarType(const TypeInfo& t, uint32_t size) {
  if (!t.dims.empty()) return false;
  if (!t.known()) return size == 1 || size == 4 || size == 8;
  return t.pointers > 0 || t.base == "char" || t.base == "int" || t.base == "long";
}

Value number(int64_t v, const char* base = "long") {
  Value r;
  r.type.base = base;
  r.size = r.type.base == "int" ? 4 : 8;
  r.number = r.size == 4 ? narrow<4>(v) : v;
  return r;
}

std::string hexAddress(uint32_t a) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  do {
    s.insert(s.begin(), digits[a & 15]);
    a >>= 4;
  } while (a != 0);
  return "0x" + s;
}

class Parser {
 public:
  Parser(const Evaluator& ev, const std::string& function, const std::string& text)
      : ev_(ev), function_(function), text_(text) {}

  Value parse() {
    Value v = binary(0);
    skipBlanks();
    if (pos_ < text_.size())
      fail("A syntax error in expression, near `" + text_.substr(pos_) + "'.");
    return v;
  }

 private:
  [[noreturn]] static void fail(const std::string& message) { throw DebugError(message); }

  void skipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }

  bool take(const std::string& op) {
    skipBlanks();
    if (text_.compare(pos_, op.size(), op) != 0) return false;
    pos_ += op.size();
    return true;
  }

  // Binary operators by precedence, lowest first.
  static const std::vector<std::vector<std::string>>& levels() {
    static const std::vector<std::vector<std::string>> table{{"||"},
                                                             {"&&"},
                                                             {"|"},
                                                             {"^"},
                                                             {"&"},
                                                             {"==", "!="},
                                                             {"<=", ">=", "<", ">"},
                                                             {"<<", ">>"},
                                                             {"+", "-"},
                                                             {"*", "/", "%"}};
    return table;
  }

  std::string takeOperator(const std::vector<std::string>& ops) {
    skipBlanks();
    for (const std::string& op : ops) {
      if (text_.compare(pos_, op.size(), op) != 0) continue;
      // "&" and "|" are not the first half of "&&" and "||"; "<" not of "<<".
      const char after = pos_ + op.size() < text_.size() ? text_[pos_ + op.size()] : 0;
      if (op.size() == 1 && (after == op[0] || (op != "<" && op != ">" && after == '='))) continue;
      if ((op == "<" || op == ">") && (after == op[0] || after == '=')) continue;
      pos_ += op.size();
      return op;
    }
    return "";
  }

  Value binary(size_t level) {
    if (level == levels().size()) return unary();
    Value left = binary(level + 1);
    for (;;) {
      std::string op = takeOperator(levels()[level]);
      if (op.empty()) return left;
      left = apply(op, left, binary(level + 1));
    }
  }

  // Every unary operator, parenthesis and subscript nests one level deeper;
  // the depth is bounded so that no expression exhausts the stack.
  struct Nested {
    explicit Nested(uint32_t& depth) : depth_(depth) {
      if (++depth_ > kMaxDepth) fail("Expression too deeply nested.");
    }
    ~Nested() { --depth_; }
    uint32_t& depth_;
  };

  Value unary() {
    Nested nested(depth_);
    if (take("-")) return number(-scalarOf(unary()));
    if (take("!")) return number(scalarOf(unary()) == 0, "int");
    if (take("~")) return number(~scalarOf(unary()));
    if (take("*")) return dereference(unary());
    if (take("&")) return addressOf(unary());
    return postfix();
  }

  Value postfix() {
    Value v = primary();
    for (;;) {
      if (take("[")) {
        Value index = binary(0);
        if (!take("]")) fail("A syntax error in expression: ']' expected.");
        v = subscript(v, index);
      } else if (take("->")) {
        v = member(dereference(v), word());
      } else if (take(".")) {
        v = member(v, word());
      } else {
        return v;
      }
    }
  }

  Value primary() {
    skipBlanks();
    if (take("(")) {
      Value v = binary(0);
      if (!take(")")) fail("A syntax error in expression: ')' expected.");
      return v;
    }
    if (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
      size_t start = pos_;
      while (pos_ < text_.size() && std::isalnum(static_cast<unsigned char>(text_[pos_]))) ++pos_;
      std::optional<ParsedNumber> n = parseNumber(text_.substr(start, pos_ - start));
      if (!n) fail("Invalid number \"" + text_.substr(start, pos_ - start) + "\".");
      if (n->huge) fail("Numeric constant too large.");
      return number(static_cast<int64_t>(n->bits),
                    n->within(INT32_MIN, INT32_MAX) ? "int" : "long");
    }
    std::string name = word();
    const VariableInfo* v = ev_.info().variable(name, function_);
    if (!v) fail("No symbol \"" + name + "\" in current context.");
    return ev_.variable(*v);
  }

  std::string word() {
    skipBlanks();
    size_t start = pos_;
    while (pos_ < text_.size() &&
           (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
      ++pos_;
    if (pos_ == start) {
      fail(pos_ < text_.size() ? "A syntax error in expression, near `" + text_.substr(pos_) + "'."
                               : "A syntax error in expression, near `'.");
    }
    return text_.substr(start, pos_ - start);
  }

  static int64_t scalarOf(const Value& v) {
    if (!v.scalar()) fail("The value is not a number (an array or a structure).");
    return v.number;
  }

  // An array used as a value is the address of its first element.
  static Value decay(const Value& v) {
    if (v.type.dims.empty() || !v.address) return v;
    if (v.type.dims.size() > 1) fail("Arithmetic on a multi-dimensional array: use subscripts.");
    Value p;
    p.type = v.type;
    p.type.dims.clear();
    p.type.pointers += 1;
    p.size = 4;
    p.number = *v.address;
    return p;
  }

  static bool pointer(const Value& v) {
    return v.type.known() && v.type.pointers > 0 && v.type.dims.empty();
  }

  uint32_t pointeeSize(const Value& p) const {
    const uint32_t size = ev_.info().sizeOf(p.type.element());
    return size == 0 ? 1 : size;
  }

  Value subscript(const Value& v, const Value& index) const {
    if (!v.type.known()) fail("No type information: compile with -g to use subscripts.");
    if (v.type.dims.empty() || !v.address) return dereference(apply("+", v, index));
    const TypeInfo element = v.type.element();
    const uint32_t size = ev_.info().sizeOf(element);
    const int64_t i = scalarOf(index);
    if (i < 0 || static_cast<uint64_t>(i) >= v.type.dims[0])
      fail("Index " + std::to_string(i) + " is outside the array (0 to " +
           std::to_string(v.type.dims[0] - 1) + ").");
    return ev_.object(*v.address + static_cast<uint32_t>(i) * size, element, size);
  }

  Value apply(const std::string& op, Value a, Value b) const {
    a = decay(a);
    b = decay(b);
    if ((op == "+" || op == "-") && pointer(a) && !pointer(b)) {
      Value r = a;
      const int64_t step = scalarOf(b) * pointeeSize(a);
      r.number = static_cast<uint32_t>(op == "+" ? a.number + step : a.number - step);
      r.address.reset();
      return r;
    }
    if (op == "+" && pointer(b) && !pointer(a)) return apply(op, b, a);
    if (op == "-" && pointer(a) && pointer(b))
      return number((a.number - b.number) / pointeeSize(a));
    return arithmetic(op, scalarOf(a), scalarOf(b));
  }

  static Value arithmetic(const std::string& op, int64_t x, int64_t y) {
    const uint64_t ux = static_cast<uint64_t>(x), uy = static_cast<uint64_t>(y);
    if (op == "+") return number(static_cast<int64_t>(ux + uy));
    if (op == "-") return number(static_cast<int64_t>(ux - uy));
    if (op == "*") return number(static_cast<int64_t>(ux * uy));
    if (op == "/" || op == "%") {
      if (y == 0) fail("Division by zero");
      if (y == -1) return number(op == "/" ? static_cast<int64_t>(0 - ux) : 0);
      return number(op == "/" ? x / y : x % y);
    }
    if (op == "<<") return number(y < 0 || y > 63 ? 0 : static_cast<int64_t>(ux << y));
    if (op == ">>") return number(y < 0 || y > 63 ? (x < 0 ? -1 : 0) : x >> y);
    if (op == "&") return number(x & y);
    if (op == "|") return number(x | y);
    if (op == "^") return number(x ^ y);
    if (op == "&&") return number(x != 0 && y != 0, "int");
    if (op == "||") return number(x != 0 || y != 0, "int");
    if (op == "==") return number(x == y, "int");
    if (op == "!=") return number(x != y, "int");
    if (op == "<") return number(x < y, "int");
    if (op == ">") return number(x > y, "int");
    if (op == "<=") return number(x <= y, "int");
    return number(x >= y, "int");
  }

  Value dereference(Value v) const {
    if (!v.type.dims.empty() && v.address) return subscript(v, number(0));
    v = decay(v);
    if (!pointer(v)) {
      fail(v.type.known() ? "Attempt to take contents of a non-pointer value."
                          : "No type information: compile with -g to follow pointers.");
    }
    const TypeInfo t = v.type.element();
    if (t.pointers == 0 && t.base == "void") fail("Attempt to take contents of a void pointer.");
    return ev_.object(static_cast<uint32_t>(v.number), t, ev_.info().sizeOf(t));
  }

  static Value addressOf(const Value& v) {
    if (!v.address) fail("Attempt to take address of a value not located in memory.");
    Value p;
    p.type = v.type;
    if (!p.type.known()) p.type.base = v.size == 1 ? "char" : v.size == 8 ? "long" : "int";
    p.type.dims.clear();  // &array points to its first element
    p.type.pointers += 1;
    p.size = 4;
    p.number = *v.address;
    return p;
  }

  Value member(const Value& s, const std::string& name) const {
    if (!s.type.isStruct() || s.type.pointers > 0 || !s.type.dims.empty())
      fail(s.type.known() ? "Attempt to extract a component of a value that is not a structure."
                          : "No type information: compile with -g to read members.");
    const StructureInfo* info = ev_.info().structure(s.type.tag());
    if (info) {
      for (const MemberInfo& m : info->members) {
        if (m.name == name) return ev_.object(*s.address + m.offset, m.type, m.size);
      }
    }
    fail("There is no member named " + name + ".");
  }

  const Evaluator& ev_;
  const std::string& function_;
  const std::string& text_;
  size_t pos_ = 0;
  uint32_t depth_ = 0;
};

}  // namespace

bool Value::scalar() const {
  return scalarType(type, size);
}

Value Evaluator::evaluate(const std::string& text) const {
  return Parser(*this, function_, text).parse();
}

Value Evaluator::variable(const VariableInfo& v) const {
  auto it = machine_.program().dataLabels.find(v.label);
  if (it == machine_.program().dataLabels.end())
    throw DebugError("No data label " + v.label + " for \"" + v.name + "\".");
  return object(it->second, v.type, v.size);
}

Value Evaluator::object(uint32_t address, const TypeInfo& type, uint32_t size) const {
  Value v;
  v.type = type;
  v.size = size;
  v.address = address;
  std::optional<std::vector<uint8_t>> bytes = machine_.readBytes(address, size);
  if (!bytes) throw DebugError("Cannot access memory at address " + hexAddress(address));
  v.bytes = std::move(*bytes);
  if (v.scalar()) {
    uint64_t n = 0;
    for (uint32_t i = 0; i < size; ++i) n |= uint64_t{v.bytes[i]} << (8 * i);
    v.number =
        type.pointers > 0 ? static_cast<int64_t>(n) : narrowTo(size, static_cast<int64_t>(n));
  }
  return v;
}

std::string symbolAt(const Program& program, uint32_t address) {
  const std::string* best = nullptr;
  uint32_t bestAddress = 0;
  for (const auto& [label, at] : program.dataLabels) {
    if (at > address || (best && at < bestAddress)) continue;
    if (best && at == bestAddress && label.rfind("INI_BLOCK_", 0) != 0 &&
        best->rfind("INI_BLOCK_", 0) != 0 && label > *best)
      continue;
    if (best && at == bestAddress && label.rfind("INI_BLOCK_", 0) == 0) continue;
    best = &label;
    bestAddress = at;
  }
  if (!best || address >= kDataBase + program.data.size()) return "";
  const uint32_t offset = address - bestAddress;
  return "<" + *best + (offset ? "+" + std::to_string(offset) : "") + ">";
}

}  // namespace stackvm
