// Values as gdb's print shows them: numbers in decimal, chars with their
// character, pointers in hexadecimal with the data label they point into,
// char arrays and char pointers as strings, arrays and structures whole.
#include <string>

#include "vm/debug_expression.h"

namespace stackvm {

namespace {

constexpr size_t kMaxElements = 200;  // gdb's print elements limit
constexpr size_t kMaxString = 200;

std::string hex(uint64_t v) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  do {
    s.insert(s.begin(), digits[v & 15]);
    v >>= 4;
  } while (v != 0);
  return "0x" + s;
}

std::string escaped(uint8_t c, char quote) {
  switch (c) {
    case '\n':
      return "\\n";
    case '\t':
      return "\\t";
    case '\r':
      return "\\r";
    case '\\':
      return "\\\\";
    default:
      break;
  }
  if (c == static_cast<uint8_t>(quote)) return std::string("\\") + quote;
  if (c < 0x20 || c >= 0x7F) {
    std::string s = "\\";
    s += static_cast<char>('0' + (c >> 6));
    s += static_cast<char>('0' + ((c >> 3) & 7));
    s += static_cast<char>('0' + (c & 7));
    return s;
  }
  return std::string(1, static_cast<char>(c));
}

std::string character(int64_t v) {
  return std::to_string(static_cast<int8_t>(v)) + " '" + escaped(static_cast<uint8_t>(v), '\'') +
         "'";
}

std::string quoted(const std::vector<uint8_t>& bytes) {
  std::string s = "\"";
  for (uint8_t b : bytes) s += escaped(b, '"');
  return s + "\"";
}

class Formatter {
 public:
  Formatter(const Evaluator& context, char format) : ev_(context), format_(format) {}

  std::string value(const Value& v) const {
    if (v.scalar()) return scalar(v);
    if (!v.type.known()) return bytes(v.bytes);
    if (!v.type.dims.empty()) return array(v);
    if (v.type.isStruct()) return structure(v);
    return bytes(v.bytes);
  }

 private:
  std::string scalar(const Value& v) const {
    const uint64_t bits =
        v.size >= 8 ? static_cast<uint64_t>(v.number)
                    : static_cast<uint64_t>(v.number) & ((uint64_t{1} << (8 * v.size)) - 1);
    if (format_ == 'x') return hex(bits);
    if (format_ == 'c') return character(v.number);
    if (format_ == 'd') return std::to_string(v.number);
    if (v.type.pointers > 0) return pointer(v, static_cast<uint32_t>(bits));
    if (v.type.base == "char") return character(v.number);
    return std::to_string(v.number);
  }

  // gdb's forms: (int *) 0x1010 <table+8>, and for a char pointer 0x1008 "hi".
  std::string pointer(const Value& v, uint32_t address) const {
    if (address == 0) return "0x0";
    std::string s;
    if (v.type.base == "char" && v.type.pointers == 1) {
      s.append(hex(address)).append(" ").append(string(address));
      return s;
    }
    s.append("(").append(v.type.text()).append(") ").append(hex(address));
    const std::string label = symbolAt(ev_.machine().program(), address);
    if (!label.empty()) s.append(" ").append(label);
    return s;
  }

  std::string string(uint32_t address) const {
    std::vector<uint8_t> text;
    for (size_t i = 0; i < kMaxString; ++i) {
      std::optional<std::vector<uint8_t>> b =
          ev_.machine().readBytes(address + static_cast<uint32_t>(i), 1);
      if (!b) return text.empty() ? "<error: Cannot access memory>" : quoted(text) + "...";
      if ((*b)[0] == 0) return quoted(text);
      text.push_back((*b)[0]);
    }
    return quoted(text) + "...";
  }

  std::string array(const Value& v) const {
    const TypeInfo element = v.type.element();
    if (element.base == "char" && element.pointers == 0 && element.dims.empty() && format_ != 'x' &&
        format_ != 'd' && format_ != 'c') {
      std::vector<uint8_t> text = v.bytes;
      while (!text.empty() && text.back() == 0) text.pop_back();
      return quoted(text);
    }
    const uint32_t size = ev_.info().sizeOf(element);
    std::string s = "{";
    for (uint32_t i = 0; i < v.type.dims[0]; ++i) {
      if (i) s += ", ";
      if (i == kMaxElements) return s + "...}";
      s += value(ev_.object(*v.address + i * size, element, size));
    }
    return s + "}";
  }

  std::string structure(const Value& v) const {
    const StructureInfo* info = ev_.info().structure(v.type.tag());
    if (!info) return bytes(v.bytes);
    std::string s = "{";
    for (size_t i = 0; i < info->members.size(); ++i) {
      const MemberInfo& m = info->members[i];
      s += (i ? ", " : "") + m.name + " = " +
           value(ev_.object(*v.address + m.offset, m.type, m.size));
    }
    return s + "}";
  }

  std::string bytes(const std::vector<uint8_t>& b) const {
    std::string s = "{";
    for (size_t i = 0; i < b.size(); ++i) {
      if (i) s += ", ";
      if (i == kMaxElements) return s + "...}";
      s += format_ == 'x' ? hex(b[i]) : std::to_string(b[i]);
    }
    return s + "}";
  }

  const Evaluator& ev_;
  char format_;
};

}  // namespace

std::string formatValue(const Value& value, const Evaluator& context, char format) {
  return Formatter(context, format).value(value);
}

}  // namespace stackvm
