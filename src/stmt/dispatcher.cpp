// The statement dispatcher: each Pass-2 text is offered to the statement
// handlers in a fixed order; the first that recognises its construct compiles
// it, and a text no handler takes is an expression statement.
#include "decl/declarations.h"
#include "driver/bytes.h"
#include "driver/compiler.h"

namespace stackcc {

namespace {

using Handler = int (*)(Compiler&);

// A handler with the byte its statement must begin with; kAnyLetter: a name.
struct Entry {
  Handler handler;
  char first;
};

constexpr char kAnyLetter = '\0';

// After the declarations, in the order of trial. Each of these handlers begins
// with a keyword or name test whose blank skipping the declaration handler has
// already done, and does nothing else when the text does not begin with its
// byte (or a letter), so only those that can take the text are tried.
constexpr Entry kHandlers[] = {
    {CompileFor, 'f'},      {CompileIf, 'i'},      {CompileElse, 'e'},
    {CompileWhile, 'w'},    {CompileDo, 'd'},      {CompileSwitch, 's'},
    {CompileCase, 'c'},     {CompileReturn, 'r'},  {CompileBreak, 'b'},
    {CompileContinue, 'c'}, {CompileDefault, 'd'}, {CompileLabel, kAnyLetter},
    {CompileGoto, 'g'},     {CompileAsm, 'A'},     {CompileFunctionDefinition, kAnyLetter},
    {CloseBlock, '}'},
};

bool MayBegin(const Entry& entry, char first) {
  return entry.first == kAnyLetter ? IsLetter(first) : entry.first == first;
}

}  // namespace

std::string_view DispatchStatement(Compiler& c, SourceText text) {
  BeginText(c, text.text, text.length);
  ClearEmit(c);
  if (CompileDeclaration(c, "", 0) != 0) return c.out.emit.view();
  // Skipping again where the declaration handler stopped changes nothing; it
  // leaves the cursor on the statement's first byte.
  SkipBlanks(c);
  char first = ScanChar(c);
  for (const Entry& entry : kHandlers) {
    if (MayBegin(entry, first) && entry.handler(c) != 0) return c.out.emit.view();
  }
  CompileExpression(c, ReadStatementText(c));
  return c.out.emit.view();
}

int CompileAsm(Compiler& c) {
  if (!MatchKeyword(c, "ASM")) return 0;
  // The line is the text after the keyword up to the ";", which stays for the
  // next call (where it is an empty statement). It replaces the emit buffer.
  ScanCursor& k = c.scan.cur;
  int start = k.position;
  while (k.position < k.length && k.text[k.position] != ';') ++k.position;
  SetEmit(c, std::string_view(k.text + start, static_cast<std::size_t>(k.position - start)));
  if (k.position >= k.length) ReportError(c, kErrMissingSemicolon, "");
  return 1;
}

}  // namespace stackcc
