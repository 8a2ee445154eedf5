// Helpers for the expression tests: a fresh compiler with declared symbols, the
// code of one statement, expected code written as lines joined by "|", and the
// error reports read back from the console.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "decl/tables.h"
#include "expr/expression_parts.h"
#include "test_support.h"

namespace stackcc::testing {

// "a|b||c" -> "a\r\nb\r\n\r\nc\r\n": every line with its CR LF.
inline std::string Lines(std::string_view joined) {
  std::string out;
  for (char ch : joined) {
    if (ch == '|') {
      out += "\r\n";
    } else {
      out += ch;
    }
  }
  return out + "\r\n";
}

class ExprTest : public ::testing::Test {
 protected:
  Compiler& c() { return tc_.c(); }

  // The lines one expression statement appends to an empty emit buffer.
  std::string Compile(std::string_view text) {
    ClearEmit(c());
    CompileExpression(c(), text);
    return std::string(c().out.emit.view());
  }

  void Declare(std::string_view name, int elemSize, int kind, int indirection,
               std::string_view typeName = "", int paramCount = -1) {
    NameBuffer n(name);
    DeclareSymbol(c(), n, elemSize, kind, kind == SymArray ? 1 : 0, indirection, elemSize, typeName,
                  0, paramCount);
  }
  void Int(std::string_view name) { Declare(name, 4, SymScalar, 1); }
  void Char(std::string_view name) { Declare(name, 1, SymScalar, 1); }
  void Long(std::string_view name) { Declare(name, 8, SymScalar, 1); }
  void Pointer(std::string_view name, int elemSize) { Declare(name, elemSize, SymPointer, 2); }
  void Array(std::string_view name, int elemSize, std::string_view dims, int indirection = 1) {
    Declare(name, elemSize, SymArray, indirection);
    RecordDimensions(c(), name, dims);
  }
  void Function(std::string_view name, int returnSize, int paramCount) {
    Declare(name, returnSize, SymFunction, 1, "", paramCount);
  }
  // A member of structure tag, declared as the declarations do it.
  void Member(std::string_view tag, std::string_view name, int elemSize, int totalSize,
              int kind = SymScalar, std::string_view ownTag = {}) {
    NameBuffer n(name);
    DeclareSymbol(c(), n, elemSize, kind, kind == SymArray ? 1 : 0, kind == SymPointer ? 2 : 1,
                  totalSize, tag, 1, -1, ownTag);
  }
  void EnterFunction(std::string_view name) {
    c().decl.currentFunctionLabel.assign("_func_");
    c().decl.currentFunctionLabel.append(name);
  }

  std::string Console() { return tc_.ConsoleText(); }
  int ReportCount() {
    std::string console = Console();
    int n = 0;
    for (std::size_t p = console.find("ERROR in LINE:"); p != std::string::npos;
         p = console.find("ERROR in LINE:", p + 1)) {
      ++n;
    }
    return n;
  }
  bool Reported(std::string_view message, std::string_view aux) {
    std::string want = " Error message: " + std::string(message) +
                       "\r\n Auxiliar error data: " + std::string(aux) + "\r\n";
    return Console().find(want) != std::string::npos;
  }

 private:
  TestCompiler tc_;
};

}  // namespace stackcc::testing
