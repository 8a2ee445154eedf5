// Function headers: "public", a return type, a name and a parameter list, then
// either a body ("{") or, with a return type, a prototype (";"). A body gets its
// entry label, its parameters as locals and the code that stores each incoming
// argument into its parameter; the closing brace ends it.
#include "base/bytes.h"
#include "base/compiler.h"
#include "base/text_helpers.h"
#include "decl/declarations.h"
#include "decl/opening_words.h"
#include "decl/tables.h"
#include "expr/expression.h"
#include "io/diagnostics.h"
#include "io/output.h"
#include "scanner/scanner.h"
#include "stmt/block_stack.h"
#include "stmt/statements.h"

namespace stackcc {

namespace {

// The first place of the word as a whole word in the store text: at the start of
// the parameter (just after the "$") or after a blank, and followed by a blank
// (the stars have become blanks by then). npos when there is none.
std::size_t FindTypeWord(const FixedText<120>& r, std::string_view word) {
  std::string_view text = r.view();
  for (std::size_t p = text.find(word, 1); p != std::string_view::npos;
       p = text.find(word, p + 1)) {
    std::size_t after = p + word.size();
    if ((p == 1 || IsBlank(text[p - 1])) && after < text.size() && IsBlank(text[after])) return p;
  }
  return std::string_view::npos;
}

}  // namespace

FixedText<120> ParamStoreText(std::string_view param) {
  FixedText<120> r("$");
  r.append(param);
  auto blank = [&r](std::size_t pos, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) r.set(pos + k, ' ');
  };
  for (std::size_t i = 0; i < r.size(); ++i) {
    if (r[i] == '*') r.set(i, ' ');
  }
  auto blankWord = [&](const OpeningWord& w) {
    std::size_t p = FindTypeWord(r, w.word);
    if (p != FixedText<120>::npos) blank(p, w.word.size());
    return p;
  };
  for (const OpeningWord& w : kOpeningWords) {
    if (w.role == WordRole::kPublic) blankWord(w);
  }
  for (const OpeningWord* type : kTypeOrder) {
    std::size_t p = blankWord(*type);
    if (p == FixedText<120>::npos) continue;
    if (type->role == WordRole::kStructure) {  // its tag goes with it
      std::size_t q = p + type->word.size();
      while (r[q] == ' ') ++q;
      while (IsNameChar(r[q])) blank(q++, 1);
    }
    break;
  }
  return r;
}

namespace {

constexpr std::string_view kVariadicMark = "...";

struct ReturnType {
  int size = 4;
  FixedText<kTypeNameCapacity + 8> text{"int"};
  bool typed = false;
};

// MatchKeyword for a cursor that stands on the text's next byte (blanks and
// markers skipped): a keyword can only match at its first letter. The cursor is
// left on the next byte again, as the next keyword test would skip anyway.
bool MatchKeywordAtByte(Compiler& c, std::string_view keyword) {
  if (ScanChar(c) != keyword.front() || MatchKeyword(c, keyword) == 0) return false;
  SkipBlanks(c);
  return true;
}

// The cursor stands on the text's next byte.
ReturnType ReadReturnType(Compiler& c) {
  ReturnType type;
  auto set = [&type](int size, std::string_view text) {
    type.size = size;
    type.text.assign(text);
    type.typed = true;
  };
  for (const OpeningWord* w : kReturnTypeOrder) {
    if (!MatchKeywordAtByte(c, w->word)) continue;
    if (w->role != WordRole::kStructure) {
      set(w->size, w->word);
      continue;
    }
    FixedText<kTypeNameCapacity> tag(ReadName(c, false));
    set(StructSize(c, tag.view()), "struct ");
    type.text.append(tag.view());
  }
  return type;
}

// Calls visit for every comma-separated item of a parameter list until it returns
// false. A list that is empty or blank has no items.
template <typename Visit>
void ForEachParameter(std::string_view list, Visit visit) {
  if (TrimSpaces(list).empty()) return;
  while (true) {
    std::size_t comma = list.find(',');
    if (!visit(list.substr(0, comma)) || comma == std::string_view::npos) return;
    list = list.substr(comma + 1);
  }
}

// Prototype count: one more than the commas ("..." counts as an item).
int CountItems(std::string_view list) {
  int count = 0;
  ForEachParameter(list, [&count](std::string_view) {
    ++count;
    return true;
  });
  return count;
}

class Accumulator {
 public:
  explicit Accumulator(Compiler& c) : c_(c) { c_.blocks.accumulator.clear(); }
  void Add(std::string_view text) {
    if (!c_.blocks.accumulator.append(text) && !reported_) {
      reported_ = true;
      ReportError(c_, kErrOutputFull, "");
    }
  }

 private:
  Compiler& c_;
  bool reported_ = false;
};

bool ItemFits(Compiler& c, std::string_view item) {
  if (item.size() <= static_cast<std::size_t>(kParameterItemLimit)) return true;
  ReportError(c, kErrParameterLength, "");
  return false;
}

// Declares each parameter as a local of the function; returns the count, -1 for
// a list ending in "..." (which must follow its comma directly).
int DeclareParameters(Compiler& c, std::string_view list, Accumulator& acc) {
  int count = 0;
  ForEachParameter(list, [&](std::string_view item) {
    if (item.starts_with(kVariadicMark)) {
      count = -1;
      return false;
    }
    if (!ItemFits(c, item)) return true;
    FixedText<kParameterItemCapacity + 1>& copy = c.blocks.parameterItem;
    copy.assign(item);
    copy.append(';');
    BeginText(c, copy.raw(), static_cast<int>(copy.size()));
    if (CompileDeclaration(c, "", 0) != 0) ++count;
    acc.Add(c.out.emit.view());
    return true;
  });
  return count;
}

// The code that moves each incoming argument into its parameter variable.
void CompileArgumentStores(Compiler& c, std::string_view list, Accumulator& acc) {
  ClearEmit(c);
  ForEachParameter(list, [&](std::string_view item) {
    if (item.starts_with(kVariadicMark)) return false;
    if (TrimSpaces(item).empty() || item.size() > static_cast<std::size_t>(kParameterItemLimit)) {
      return true;
    }
    FixedText<120> store = ParamStoreText(item);
    CompileExpression(c, store.view());
    Emit(c, "null_last_line\r\n");
    acc.Add(c.out.emit.view());
    ClearEmit(c);
    return true;
  });
}

void DeclareFunction(Compiler& c, std::string_view name, int size, int paramCount) {
  NameBuffer symbol(name);
  DeclareSymbol(c, symbol, size, SymFunction, 0, 1, size, "", 0, paramCount);
}

void CompileBody(Compiler& c, std::string_view name, int size) {
  std::string_view list = c.blocks.parameters.view();
  WriteSideFile(c, c.out.functionList, name);
  WriteSideFile(c, c.out.functionList, "(,");
  WriteSideFile(c, c.out.functionList, list);
  WriteSideFile(c, c.out.functionList, "\r\n");
  Accumulator acc(c);
  acc.Add(name);
  acc.Add(":\r\n");  // the entry label is the bare function name
  if (SymbolExists(c, name) != 0) {
    if (SymbolElementSize(c, name) != size) ReportError(c, kErrFunctionSize, name);
  } else {
    DeclareFunction(c, name, size, -1);
  }
  ScanCursor body = c.scan.cur;
  acc.Add(c.out.emit.view());
  SetParamCount(c, name, DeclareParameters(c, list, acc));
  CompileArgumentStores(c, list, acc);
  c.scan.cur = body;
  SetEmit(c, c.blocks.accumulator.view());
  c.blocks.functionName[c.blocks.blockLevel].assign(name);
  PushBlock(c, BlockFunction);
}

void WritePublicLines(Compiler& c, const ReturnType& type, std::string_view name) {
  WriteSideFile(c, c.out.listing, name);
  WriteSideFile(c, c.out.listing, "\r\n");
  WriteSideFile(c, c.out.header, type.text.view());
  WriteSideFile(c, c.out.header, " ");
  WriteSideFile(c, c.out.header, name);
  WriteSideFile(c, c.out.header, "(");
  WriteSideFile(c, c.out.header, c.blocks.parameters.view());
  WriteSideFile(c, c.out.header, ");\r\n");
}

// Runs the header steps once the cursor is past the parameter list; false when
// the text turned out not to be a header.
bool CompileHeader(Compiler& c, const ReturnType& type, std::string_view fullName, bool isPublic) {
  std::string_view name = fullName.substr(0, kFunctionNameLimit);
  FixedText<kFunctionLabelCapacity> savedLabel = c.decl.currentFunctionLabel;
  c.decl.currentFunctionLabel.assign(kFunctionMark);
  c.decl.currentFunctionLabel.append(name);
  if (isPublic) WritePublicLines(c, type, name);
  BlockState& b = c.blocks;
  b.labelNumber = ++b.stack[b.blockLevel].counter;
  // Declarations between the header and "{" belong to the function.
  for (int at = c.scan.cur.position; CompileDeclaration(c, "", 0) != 0; at = c.scan.cur.position) {
    if (c.scan.cur.position == at) break;
  }
  bool isBody = MatchText(c, "{") != 0;
  bool isPrototype = !isBody && type.typed && MatchText(c, ";") != 0;
  if (!isBody && !isPrototype) {
    c.decl.currentFunctionLabel = savedLabel;
    return false;
  }
  if (name.size() < fullName.size()) ReportError(c, kErrFunctionName, fullName);
  NoteFunctionHead(c, name, isPublic, isBody);
  if (isPrototype) {
    DeclareFunction(c, name, type.size, CountItems(b.parameters.view()));
    c.decl.currentFunctionLabel.clear();
  } else if (CheckNesting(c)) {
    CompileBody(c, name, type.size);
    NoteFunctionHead(c, name, type.text.view(), b.parameters.view());
  } else {
    c.decl.currentFunctionLabel = savedLabel;
  }
  return true;
}

}  // namespace

int CompileFunctionDefinition(Compiler& c) {
  BlockState& b = c.blocks;
  // A parameter item that is itself a header is not one: the work texts of the
  // header in progress stay untouched.
  if (b.inFunctionHeader) return 0;
  ScanCursor start = c.scan.cur;
  SkipBlanks(c);  // what the first keyword test would do
  bool isPublic = MatchKeywordAtByte(c, "public");
  ReturnType type = ReadReturnType(c);
  FixedText<128> name(ReadName(c, false));
  std::optional<std::string_view> list;
  if (!name.empty()) list = ReadParenthesised(c, false);
  bool taken = false;
  if (list.has_value()) {
    b.parameters.assign(*list);
    b.inFunctionHeader = true;
    taken = CompileHeader(c, type, name.view(), isPublic);
    b.inFunctionHeader = false;
  }
  if (taken) return 1;
  // Only the position goes back: markers met on the way stay in the emit buffer.
  c.scan.cur = start;
  return 0;
}

}  // namespace stackcc
