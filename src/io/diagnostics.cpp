// Error reports: the table of error codes and messages, and ReportError, which
// writes a report to the console and to <base>.err and sets the error flag
// (c.diag).
#include "io/diagnostics.h"

#include <string>

#include "base/compiler.h"
#include "io/run_state.h"

namespace stackcc {

namespace {

constexpr ErrorEntry kTable[kErrorSlots] = {
    {1, "Get Array error"},
    {2, "Get String error"},
    {3, "Get Parentes error"},
    {4, "Get digit error"},
    {5, "Get Variable error"},
    {10, "Get List error"},
    {11, "Get data error"},
    {12, "Get expression error"},
    {13, "Get name error"},
    {21, "Variable not found"},
    {22, "Not a pointer"},
    {23, "Not a array"},
    {24, "Missing aspas pair"},
    {25, "Error converting data"},
    {26, "Atribuicao invalida"},
    {27, "Struct indefined"},
    {28, "Bad function size"},
    {29, "Varible alredy defined"},
    {41, "Missing ;"},
    {42, "Missing 'WHILE' after 'DO'"},
    {43, "Missing {"},
    {44, "Missing variable declaration"},
    {45, "Break out of loop"},
    {46, "Missing :"},
    {47, "Expecting declaration of variable after EXTERN"},
    {48, "No file to open"},
    {49, "Return must be without parameters"},
    {50, "Pointer not defined ! Compiler Bug, use arrays"},
    {51, "Different number of parameters"},
    {52, "#ENDIF Without #IF"},
    {53, "#IF Bad Parameters, Invalid Variable"},
    {100, "Invalid size"},
    {101, "Limite de espaco excedido para data"},
    {102, "Variable already defined"},
    // Limits of the language's tables and texts.
    {54, "Include nesting too deep"},
    {55, "Include file name too long"},
    {56, "File name too long"},
    {57, "Target suffix too long"},
    {58, "Output of statement too long"},
    {60, "Statement too long"},
    {61, "Too many defines"},
    {62, "Define name or value too long"},
    {63, "#IF nested too deep"},
    {64, "Line too long"},
    {65, "Text too long"},
    {70, "Symbol table full"},
    {71, "Member table full"},
    {72, "Dimension table full"},
    {73, "Too many dimensions"},
    {74, "Name too long"},
    {75, "Type name too long"},
    {76, "String too long"},
    {77, "Dimension text too long"},
    {80, "Expression too long"},
    {81, "Expression too complex"},
    {82, "Expression code too long"},
    {83, "Expression output too long"},
    {90, "Closing brace without block"},
    {91, "Blocks nested too deep"},
    {92, "Case outside switch"},
    {93, "Switch subject too long"},
    {94, "Function name too long"},
    {95, "Parameter too long"},
    // Programs that would compute something other than what they say.
    {78, "String needs an array"},
    {84, "Pointers cannot be added"},
    {96, "Missing }"},
};

}  // namespace

const ErrorEntry* ErrorTable() {
  return kTable;
}

std::string_view ErrorMessage(int code) {
  for (const ErrorEntry& e : kTable) {
    if (e.code == code && e.message != nullptr) return e.message;
  }
  return {};
}

namespace {

// "file:line: " for a position, or the program's name where no file is.
std::string PositionPrefix(const SourcePosition& at) {
  if (at.file.empty()) return "stackcc: ";
  std::string prefix(at.file);
  if (at.line > 0) {
    prefix += ':';
    prefix += std::to_string(at.line);
  }
  prefix += ": ";
  return prefix;
}

void WriteDiagnosticLine(Compiler& c, const std::string& line) {
  if (c.run.diagnosticsOut != nullptr)
    std::fwrite(line.data(), 1, line.size(), c.run.diagnosticsOut);
}

// The report as editors read it: file:line: error: message: detail [code].
void WriteGccError(Compiler& c, int code, std::string_view aux) {
  std::string line = PositionPrefix(CurrentPosition(c)) + "error: ";
  line += ErrorMessage(code);
  if (!aux.empty()) {
    line += ": ";
    line += aux;
  }
  line += " [" + std::to_string(code) + "]\n";
  WriteDiagnosticLine(c, line);
}

}  // namespace

void ReportWarning(Compiler& c, Warning w, std::string_view text) {
  ReportWarningAt(c, w, CurrentPosition(c), text);
}

void ReportWarningAt(Compiler& c, Warning w, const SourcePosition& at, std::string_view text) {
  if (!WarningOn(c.run.tools, w)) return;
  std::string line = PositionPrefix(at) + "warning: ";
  line += text;
  line += " [-W";
  line += WarningName(w);
  line += "]\n";
  WriteDiagnosticLine(c, line);
  ++c.diag.warningCount;
}

void ReportError(Compiler& c, int code, std::string_view aux, std::string_view editorDetail) {
  std::size_t cut = aux.find(kFunctionMark);
  if (cut != std::string_view::npos) aux = aux.substr(0, cut);
  Diagnostics& d = c.diag;
  d.errorStream.Write(d.errorLineText.view());
  d.errorStream.Write("\r\n");
  Console(c, "ERROR in LINE:");
  Console(c, d.errorLineText.view());
  Console(c, "\r\n Error message: ");
  for (const ErrorEntry& e : kTable) {
    if (e.code == code && e.message != nullptr) {
      d.errorStream.Write(e.message);
      Console(c, e.message);
    }
  }
  d.errorStream.Write(";");
  d.errorStream.Write(aux);
  d.errorStream.Write("; Fatal error");
  Console(c, "\r\n Auxiliar error data: ");
  Console(c, aux);
  d.errorStream.Write("\r\n");
  Console(c, "\r\n\r\n");
  d.errorFlag = 1;
  if (c.run.tools.gccDiagnostics) WriteGccError(c, code, editorDetail.empty() ? aux : editorDetail);
  ++d.reportCount;
  d.lastCode = code;
  if (code >= 0 && code < static_cast<int>(d.codesSeen.size()))
    d.codesSeen.set(static_cast<std::size_t>(code));
}

}  // namespace stackcc
