// Reading the prototypes of Sys10.c and the files it includes: each routine's
// parameter and result widths. No state beyond the Prototypes returned.
#include "vm/host_prototypes.h"

#include <cctype>
#include <cstdint>
#include <set>
#include <string_view>

namespace stackvm {

namespace {

constexpr int kMaxIncludeDepth = 20;

struct Reader {
  const FileReader& read;
  Prototypes found;
  std::set<std::string> seen;  // each included file is read once
};

std::string stripComments(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "//") == 0) {
      while (i < text.size() && text[i] != '\n') ++i;
      if (i < text.size()) out += '\n';
    } else if (text.compare(i, 2, "/*") == 0) {
      size_t end = text.find("*/", i + 2);
      end = end == std::string_view::npos ? text.size() : end + 2;
      for (size_t k = i; k < end; ++k) out += text[k] == '\n' ? '\n' : ' ';
      i = end - 1;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::string> tokenize(std::string_view s) {
  std::vector<std::string> tokens;
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (std::isspace(c)) {
      ++i;
    } else if (std::isalnum(c) || c == '_') {
      size_t start = i;
      while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) ++i;
      tokens.emplace_back(s.substr(start, i - start));
    } else if (s.compare(i, 3, "...") == 0) {
      tokens.emplace_back("...");
      i += 3;
    } else {
      tokens.emplace_back(1, s[i]);
      ++i;
    }
  }
  return tokens;
}

// Reads "type [*]" at tokens[i] and advances i. A structure value has width 0:
// stackvm does not pass those to the host.
struct TypeRead {
  bool ok = false;
  bool isVoid = false;
  uint32_t width = 0;
};

TypeRead readType(const std::vector<std::string>& t, size_t& i) {
  TypeRead r;
  if (i >= t.size()) return r;
  const std::string& w = t[i];
  bool structure = w == "struct";
  if (structure) {
    if (i + 1 >= t.size()) return r;
    ++i;
  } else if (w != "void" && w != "int" && w != "char" && w != "long") {
    return r;
  }
  ++i;
  bool pointer = i < t.size() && t[i] == "*";
  if (pointer) ++i;
  r.ok = true;
  r.isVoid = w == "void" && !pointer;
  r.width = pointer ? 4 : structure ? 0 : w == "char" ? 1 : w == "long" ? 8 : w == "int" ? 4 : 0;
  return r;
}

bool isName(const std::string& s) {
  return !s.empty() && (std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_');
}

bool readParams(const std::vector<std::string>& t, size_t& i, Prototype& p) {
  if (i < t.size() && t[i] == ")") return true;
  if (i + 1 < t.size() && t[i] == "void" && t[i + 1] == ")") {
    ++i;
    return true;
  }
  for (;;) {
    if (i < t.size() && t[i] == "...") {
      p.variadic = true;
      ++i;
    } else {
      TypeRead type = readType(t, i);
      if (!type.ok || type.isVoid) return false;
      if (i < t.size() && isName(t[i])) ++i;
      if (i + 1 < t.size() && t[i] == "[" && t[i + 1] == "]") {
        i += 2;
        type.width = 4;
      }
      p.params.push_back(type.width);
    }
    if (i < t.size() && t[i] == ",") {
      ++i;
      continue;
    }
    return i < t.size() && t[i] == ")";
  }
}

void readStatement(Reader& r, std::string_view text, const std::string& where) {
  std::vector<std::string> t = tokenize(text);
  size_t i = 0;
  while (i < t.size() && (t[i] == "public" || t[i] == "extern")) ++i;
  TypeRead type = readType(t, i);
  if (!type.ok || i + 1 >= t.size() || !isName(t[i]) || t[i + 1] != "(") return;
  if (!type.isVoid && type.width == 0) return;  // structure results are not passed
  std::string name = t[i];
  i += 2;
  Prototype p;
  p.result = type.isVoid ? 0 : type.width;
  p.where = where;
  if (!readParams(t, i, p) || i + 1 != t.size()) return;
  r.found.emplace(name, p);
}

std::string quotedInclude(std::string_view line) {
  size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos || line.compare(start, 8, "#include") != 0) return "";
  size_t open = line.find('"', start + 8);
  if (open == std::string_view::npos) return "";
  size_t close = line.find('"', open + 1);
  if (close == std::string_view::npos) return "";
  return std::string(line.substr(open + 1, close - open - 1));
}

void readFile(Reader& r, const std::string& text, const std::string& name, const std::string& dir,
              int depth);

void followInclude(Reader& r, const std::string& file, const std::string& dir, int depth) {
  if (file.empty() || depth >= kMaxIncludeDepth) return;
  std::string path = file[0] == '/' ? file : dir + file;
  if (!r.seen.insert(path).second) return;
  std::optional<std::string> text = r.read(path);
  if (text) readFile(r, *text, file, dir, depth + 1);
}

void readFile(Reader& r, const std::string& text, const std::string& name, const std::string& dir,
              int depth) {
  std::string clean = stripComments(text);
  std::string statement;
  size_t statementLine = 0;
  size_t lineNo = 0;
  size_t pos = 0;
  while (pos <= clean.size()) {
    size_t end = clean.find('\n', pos);
    if (end == std::string::npos) end = clean.size();
    std::string_view line(clean.data() + pos, end - pos);
    ++lineNo;
    pos = end + 1;
    size_t first = line.find_first_not_of(" \t\r");
    if (first != std::string_view::npos && line[first] == '#') {
      followInclude(r, quotedInclude(line), dir, depth);
      continue;
    }
    for (char c : line) {
      if (c == ';' || c == '{' || c == '}') {
        readStatement(r, statement, name + ":" + std::to_string(statementLine));
        statement.clear();
        continue;
      }
      if (statement.empty() && (c == ' ' || c == '\t' || c == '\r')) continue;
      if (statement.empty()) statementLine = lineNo;
      statement += c;
    }
    if (!statement.empty()) statement += ' ';
  }
}

}  // namespace

Prototypes readPrototypes(const std::string& text, const std::string& name, const std::string& dir,
                          const FileReader& reader) {
  Reader r{reader, {}, {}};
  readFile(r, text, name, dir, 0);
  return std::move(r.found);
}

}  // namespace stackvm
