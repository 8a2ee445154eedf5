#include "scanner/line_marker.h"

#include "base/bytes.h"
#include "base/compiler.h"
#include "io/output.h"

namespace stackcc {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

int HexValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  return -1;
}

// Where the name of a position text starts ("n:" passed), or npos.
std::size_t NameStart(std::string_view position) {
  std::size_t i = 0;
  while (i < position.size() && IsDigit(position[i])) ++i;
  if (i == 0 || i >= position.size() || position[i] != ':') return std::string_view::npos;
  return i + 1;
}

// The end of a quoted name whose opening quote stands at open: just after its
// closing quote, or -1 when it has none.
int QuotedNameEnd(const char* text, int open, int length) {
  for (int i = open + 1; i < length; ++i) {
    if (text[i] == '\\' && i + 1 < length) {
      ++i;
    } else if (text[i] == '"') {
      return i + 1;
    }
  }
  return -1;
}

}  // namespace

bool MarkerNameQuoted(std::string_view name) {
  if (!name.empty() && name[0] == '"') return true;
  for (char ch : name) {
    if (IsBlank(ch)) return true;
  }
  return false;
}

void EmitMarkerName(Compiler& c, std::string_view name) {
  if (!MarkerNameQuoted(name)) {
    Emit(c, name);
    return;
  }
  Emit(c, "\"");
  for (char ch : name) {
    if (ch == '\\' || ch == '"') {
      char escaped[2] = {'\\', ch};
      Emit(c, std::string_view(escaped, 2));
    } else if (IsControl(ch)) {
      unsigned byte = static_cast<unsigned char>(ch);
      char escaped[4] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
      Emit(c, std::string_view(escaped, 4));
    } else {
      Emit(c, std::string_view(&ch, 1));
    }
  }
  Emit(c, "\"");
}

int MarkerPositionEnd(const char* text, int from, int length) {
  std::string_view rest(text + from, static_cast<std::size_t>(length - from));
  std::size_t name = NameStart(rest);
  if (name != std::string_view::npos && name < rest.size() && rest[name] == '"') {
    int end = QuotedNameEnd(text, from + static_cast<int>(name), length);
    if (end >= 0) return end;
  }
  int i = from;
  while (i < length && text[i] != ' ') ++i;
  return i;
}

bool AssignShownPosition(FixedText<kErrorLineCapacity>& out, std::string_view position) {
  out.clear();
  std::size_t name = NameStart(position);
  if (name == std::string_view::npos || name >= position.size() || position[name] != '"' ||
      position.back() != '"' || position.size() - name < 2) {
    return out.append(position);
  }
  bool fits = out.append(position.substr(0, name));
  std::string_view quoted = position.substr(name + 1, position.size() - name - 2);
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    char ch = quoted[i];
    if (ch == '\\' && i + 3 < quoted.size() && quoted[i + 1] == 'x' &&
        HexValue(quoted[i + 2]) >= 0 && HexValue(quoted[i + 3]) >= 0) {
      ch = static_cast<char>(HexValue(quoted[i + 2]) * 16 + HexValue(quoted[i + 3]));
      i += 3;
    } else if (ch == '\\' && i + 1 < quoted.size()) {
      ch = quoted[++i];
    }
    if (SignedByte(ch) >= 0 && IsControl(ch)) ch = '?';
    fits = out.append(ch) && fits;
  }
  return fits;
}

}  // namespace stackcc
