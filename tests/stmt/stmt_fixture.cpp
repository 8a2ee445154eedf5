#include "stmt_fixture.h"

#include "decl/tables.h"
#include "base/bytes.h"

namespace stackcc::testing {

std::string Unix(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

Pass2::Pass2() {
  dir_ = MakeTempDir();
  OutputState& o = c().out;
  o.passOut.Open(dir_ + "prog.001", false);
  o.section2.Open(dir_ + "prog.002", false);
  o.section3.Open(dir_ + "prog.003", false);
  o.section4.Open(dir_ + "prog.004", false);
  o.functionList.Open(dir_ + "funct1.txt", false);
  o.listing.Open(dir_ + "prog.lst", false);
  o.header.Open(dir_ + "prog.h", false);
  // The variables the statements of the tests use, as global ints.
  for (std::string_view name : {"a", "b", "i", "n", "w", "x", "y", "total"}) {
    NameBuffer symbol(name);
    DeclareSymbol(c(), symbol, 4, SymScalar, 0, 1, 4, "", 0, -1);
  }
}

std::string Pass2::Run(std::string_view program) {
  texts_.emplace_back(program);
  std::string& text = texts_.back();
  int pos = 0;
  int length = static_cast<int>(text.size());
  for (int guard = 0; guard < 10000; ++guard) {
    while (pos < length && IsBlank(text[pos])) ++pos;
    if (pos >= length) break;
    std::string_view result = DispatchStatement(c(), SourceText{text.data() + pos, length - pos});
    WriteCodeLine(c(), result);
    int consumed = c().scan.cur.position;
    pos += consumed > 0 ? consumed : 1;
  }
  c().out.passOut.Close();
  std::string all = ReadFile(dir_ + "prog.001");
  c().out.passOut.Open(dir_ + "prog.001", true);
  std::string fresh = all.substr(codeRead_);
  codeRead_ = all.size();
  return Unix(fresh);
}

std::string Pass2::ControlLines(std::string_view program) {
  std::string all = Run(program);
  std::string out;
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    std::string_view line(all.data() + start, end - start);
    if (line.find("_stlev_") != std::string_view::npos) {
      out.append(line);
      out += '\n';
    }
    start = end + 1;
  }
  return out;
}

std::vector<int> Pass2::Errors() {
  std::string console = tc.ConsoleText();
  std::vector<int> codes;
  constexpr std::string_view kLead = " Error message: ";
  for (std::size_t at = console.find(kLead); at != std::string::npos;
       at = console.find(kLead, at + 1)) {
    std::size_t from = at + kLead.size();
    std::string message = console.substr(from, console.find('\r', from) - from);
    int code = -1;
    for (int i = 0; i < kErrorSlots; ++i) {
      const char* known = ErrorTable()[i].message;
      if (known != nullptr && ErrorTable()[i].code != 0 && message == known) {
        code = ErrorTable()[i].code;
      }
    }
    codes.push_back(code);
  }
  return codes;
}

std::string Pass2::SideFile(const std::string& name) {
  c().out.functionList.Close();
  c().out.listing.Close();
  c().out.header.Close();
  return Unix(ReadFile(dir_ + name));
}

void Pass2::EnterFunction(std::string_view name, int size) {
  NameBuffer symbol(name);
  DeclareSymbol(c(), symbol, size, SymFunction, 0, 1, size, "", 0, -1);
  c().decl.currentFunctionLabel.assign("_func_");
  c().decl.currentFunctionLabel.append(name);
  c().blocks.stack[0].kind = BlockFunction;
  c().blocks.blockLevel = 1;
}

}  // namespace stackcc::testing

namespace stackcc::testing {

std::string_view Pass2::Dispatch(std::string_view text) {
  texts_.emplace_back(text);
  std::string& kept = texts_.back();
  return DispatchStatement(c(), SourceText{kept.data(), static_cast<int>(kept.size())});
}

}  // namespace stackcc::testing
