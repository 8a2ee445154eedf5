#include "vm/c_build.h"

#include <algorithm>
#include <cctype>
#include <regex>
#include <sstream>

namespace stackvm {

namespace {

const char* cType(uint32_t width) {
  return width == 1 ? "char" : width == 8 ? "long" : "int";
}

// The text with comments and string and character literals blanked, so that
// braces and keywords are found in code alone.
std::string codeOnly(const std::string& source) {
  std::string out = source;
  for (size_t i = 0; i < out.size(); ++i) {
    if (out.compare(i, 2, "//") == 0) {
      while (i < out.size() && out[i] != '\n') out[i++] = ' ';
    } else if (out.compare(i, 2, "/*") == 0) {
      size_t end = out.find("*/", i + 2);
      end = end == std::string::npos ? out.size() : end + 2;
      for (; i < end; ++i) {
        if (out[i] != '\n') out[i] = ' ';
      }
      --i;
    } else if (out[i] == '"' || out[i] == '\'') {
      const char quote = out[i];
      for (++i; i < out.size() && out[i] != quote && out[i] != '\n'; ++i) {
        if (out[i] == '\\' && i + 1 < out.size()) out[i++] = ' ';
        out[i] = ' ';
      }
    }
  }
  return out;
}

}  // namespace

std::string cObstacle(const std::string& source) {
  static const std::regex asmLine(R"(^[ \t]*ASM\b)", std::regex::multiline);
  static const std::regex directive(
      R"(^[ \t]*#(IF|IFNOT|IFLESS|IFGREATER|IFLESSOREQUAL|IFGREATEROREQUAL|ELSE|ENDIF)\b)",
      std::regex::multiline);
  const std::string code = codeOnly(source);
  std::smatch m;
  auto lineOf = [&](const std::smatch& found) {
    return std::to_string(1 + std::count(code.begin(), code.begin() + found.position(0), '\n'));
  };
  if (std::regex_search(code, m, asmLine)) return "line " + lineOf(m) + " is an ASM line";
  if (std::regex_search(code, m, directive))
    return "line " + lineOf(m) + " holds the language's own directive #" + m[1].str();
  return "";
}

namespace {

// Whether the brace at `at` opens code (a function body or a block in one)
// rather than data: a structure's members or an initialiser list. `begin` is
// where its statement began.
bool opensCode(const std::string& code, size_t at, size_t begin, const std::vector<bool>& open) {
  static const std::regex aggregate(
      R"(^\s*(?:(?:public|fixed|static|extern|typedef)\s+)*(?:struct|union|enum)\b[^(]*$)");
  if (!open.empty() && !open.back()) return false;
  size_t before = at;
  while (before > 0 && std::isspace(static_cast<unsigned char>(code[before - 1]))) --before;
  const char previous = before > 0 ? code[before - 1] : ';';
  if (previous == '=' || previous == ',') return false;
  if (open.empty()) return previous == ')';
  return !std::regex_search(code.substr(begin, at - begin), aggregate);
}

}  // namespace

// A declaration at the start of a statement inside a function body.
std::string staticLocals(const std::string& source) {
  static const std::regex declaration(R"(^(int|char|long|unsigned)\b)");
  const std::string code = codeOnly(source);
  std::string out;
  std::vector<bool> open;  // per open brace: whether it holds code
  size_t statementBegin = 0;
  bool statementStart = true;
  for (size_t i = 0; i < source.size(); ++i) {
    const char c = code[i];
    if (!open.empty() && open.back() && statementStart &&
        (c == 'i' || c == 'c' || c == 'l' || c == 'u')) {
      if (std::regex_search(code.begin() + i, code.end(), declaration,
                            std::regex_constants::match_continuous))
        out += "static ";
    }
    if (c == '{') open.push_back(opensCode(code, i, statementBegin, open));
    if (c == '}' && !open.empty()) open.pop_back();
    if (c == '{' || c == '}' || c == ';') {
      statementStart = true;
      statementBegin = i + 1;
    } else if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
      statementStart = false;
    }
    out += source[i];
  }
  return out;
}

std::vector<Global> scalarGlobals(const std::string& source, const Program& program) {
  static const std::regex declaration(
      R"(^[ \t]*(?:(?:public|fixed|static)[ \t]+)*(int|char|long)[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]*(?:=[^;{]*)?;)",
      std::regex::multiline);
  const std::string code = codeOnly(source);
  std::vector<Global> globals;
  int depth = 0;
  size_t lineStart = 0;
  for (size_t i = 0; i <= code.size(); ++i) {
    if (i == code.size() || code[i] == '\n') {
      std::string line = code.substr(lineStart, i - lineStart);
      std::smatch m;
      if (depth == 0 && std::regex_search(line, m, declaration) &&
          program.dataLabels.count(m[2].str())) {
        const std::string type = m[1].str();
        globals.push_back({m[2].str(), type == "char" ? 1u : type == "long" ? 8u : 4u});
      }
      lineStart = i + 1;
      continue;
    }
    if (code[i] == '{') ++depth;
    if (code[i] == '}' && depth > 0) --depth;
  }
  return globals;
}

bool mainReturnsValue(const std::string& source) {
  static const std::regex voidMain(R"(\bvoid[ \t\n]+main[ \t\n]*\()");
  return !std::regex_search(codeOnly(source), voidMain);
}

std::string cStubs(const Program& program, const DeviceScript& script,
                   const std::vector<Global>& globals, bool returnsValue, bool untilScriptEnds) {
  std::ostringstream c;
  c << "#include <stdio.h>\n#include <stdlib.h>\n"
       "static FILE* stackvm_calls;\n"
       "static void stackvm_log(const char* text) {\n"
       "  if (!stackvm_calls) stackvm_calls = fopen(\"calls.txt\", \"w\");\n"
       "  if (stackvm_calls) { fputs(text, stackvm_calls); fflush(stackvm_calls); }\n}\n";
  for (const HostRoutine& h : program.hosts) {
    if (h.builtin >= 0) continue;
    const std::vector<int64_t> values = script.values(h.name);
    c << "static long long " << h.name << "_values[] = {0";
    for (int64_t v : values) c << ", " << v << "LL";
    c << "};\nstatic unsigned " << h.name << "_used;\n";
    c << (h.result ? cType(h.result) : "void") << ' ' << h.name << '(';
    for (size_t i = 0; i < h.params.size(); ++i)
      c << (i ? ", " : "") << cType(h.params[i]) << " a" << i;
    c << ") {\n";
    if (h.result && untilScriptEnds)
      c << "  if (" << h.name << "_used == " << values.size() << ") exit(0);\n";
    c << "  char text[512];\n  int n = snprintf(text, sizeof text, \"" << h.name << "(\");\n";
    for (size_t i = 0; i < h.params.size(); ++i)
      c << "  n += snprintf(text + n, sizeof text - n, \"" << (i ? ", " : "")
        << "%lld\", (long long)a" << i << ");\n";
    c << "  snprintf(text + n, sizeof text - n, \")\\n\");\n  stackvm_log(text);\n";
    if (h.result) {
      c << "  if (" << h.name << "_used < " << values.size() << ") return (" << cType(h.result)
        << ")" << h.name << "_values[1 + " << h.name << "_used++];\n  return 0;\n";
    }
    c << "}\n";
  }
  for (const Global& g : globals) c << "extern " << cType(g.width) << ' ' << g.name << ";\n";
  c << "static void stackvm_globals(void) {\n  FILE* f = fopen(\"globals.txt\", \"w\");\n"
       "  if (!f) return;\n";
  for (const Global& g : globals)
    c << "  fprintf(f, \"" << g.name << " = %lld\\n\", (long long)" << g.name << ");\n";
  c << "  fclose(f);\n}\n";
  c << "extern " << (returnsValue ? "int" : "void") << " stackvm_program_main(void);\n";
  c << "int main(void) {\n  atexit(stackvm_globals);\n";
  c << (returnsValue ? "  return stackvm_program_main() & 0xFF;\n"
                     : "  stackvm_program_main();\n  return 0;\n");
  c << "}\n";
  return c.str();
}

}  // namespace stackvm
