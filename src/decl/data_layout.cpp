// Data layout: writes each variable as labelled data lines (db, dd, DUP) with
// its initialiser into the section files .002, .003 and .004, and hoists the
// string literals of expressions into .002. Reads the symbol tables (c.decl);
// owns no state beyond the emit buffer it fills and flushes.
#include "decl/data_layout.h"

#include <cstdint>

#include "base/compiler.h"
#include "base/text_helpers.h"
#include "decl/number_range.h"
#include "decl/tables.h"
#include "io/diagnostics.h"
#include "io/output.h"
#include "io/run_state.h"
#include "scanner/scanner.h"

namespace stackcc {

namespace {

constexpr std::size_t kLiteralLimit = 3412;  // characters of one hoisted string

// The characters at which the data walk stops; everything else is skipped.
bool IsDataStop(char ch) {
  return ch == '"' || IsDigit(ch) || ch == '{' || ch == '}' || ch == ';';
}

// "db " for bytes, "dd " for words; any other size is written byte by byte, so
// the size becomes 1 until the member walk sets it again.
std::string_view Directive(int& size) {
  if (size == 4) return "dd ";
  size = 1;
  return "db ";
}

void EmitDataLine(Compiler& c, std::string_view directive, std::string_view value) {
  Emit(c, directive);
  Emit(c, value);
  Emit(c, "\r\n");
}

void EmitDataNumber(Compiler& c, std::string_view directive, std::uint64_t value) {
  char buf[24];
  EmitDataLine(c, directive, DecimalDigits(buf, static_cast<long long>(value)));
}

void EmitPadding(Compiler& c, std::int64_t bytes) {
  Emit(c, "db 0 DUP ");
  EmitNumber(c, bytes);
  Emit(c, " \r\n");
}

// The three-digit code lines of a quoted code run starting at the opening quote;
// returns the position after the closing quote. rowPad (a string in the list
// of a char array of two or more dimensions) pads the string to its row.
std::size_t EmitCodes(Compiler& c, std::string_view text, std::size_t i, std::string_view directive,
                      int size, int rowPad, std::int64_t& count) {
  ++i;
  std::int64_t start = count;
  while (i < text.size() && text[i] != '"') {
    std::size_t n = 0;
    while (n < 3 && i + n < text.size() && text[i + n] != '"') ++n;
    EmitDataLine(c, directive, text.substr(i, n));
    count += size;
    i += n;
  }
  EmitDataLine(c, directive, "0");  // the string's terminator
  count += size;
  if (rowPad > count - start) {
    EmitPadding(c, rowPad - (count - start));
    count = start + rowPad;
  }
  return i < text.size() ? i + 1 : i;
}

// A digit run of an initialiser: its digits as written, its value modulo 2^64
// with the sign of a "-" in front, and whether it was written as at most 255.
struct DataNumber {
  std::string_view digits;
  std::uint64_t value = 0;  // two's complement of the magnitude when negative
  bool negative = false;    // a minus before it and a magnitude that is not 0
  bool small = false;       // the number as written is at most 255 and not negative
};

// A "-" right before the digits (blanks between) counts when what stands
// before it is "{", "," or the start of the text: "{3 - 1}" is two numbers.
bool MinusBefore(std::string_view text, std::size_t at) {
  std::size_t j = at;
  while (j > 0 && IsBlank(text[j - 1])) --j;
  if (j == 0 || text[j - 1] != '-') return false;
  --j;
  while (j > 0 && IsBlank(text[j - 1])) --j;
  return j == 0 || text[j - 1] == '{' || text[j - 1] == ',';
}

DataNumber ReadDataNumber(std::string_view text, std::size_t at, std::size_t end) {
  DataNumber n;
  n.digits = text.substr(at, end - at);
  std::uint64_t exact = 0;  // stops growing once past 255
  for (char ch : n.digits) {
    n.value = n.value * 10 + static_cast<std::uint64_t>(ch - '0');
    if (exact <= 255) exact = exact * 10 + static_cast<std::uint64_t>(ch - '0');
  }
  bool minus = MinusBefore(text, at);
  n.negative = minus && n.value != 0;
  if (minus && n.value == 0) n.digits = "0";  // "-0" writes 0
  if (n.negative) n.value = ~n.value + 1;
  n.small = !n.negative && exact <= 255;
  return n;
}

// What the value in hand initialises: a pointer, a structure (written byte by
// byte), or else a number of the element's size.
struct ElementKind {
  bool pointer = false;
  bool structure = false;
  bool pointerMember = false;  // a member that is a pointer and not an array
};

// A string's characters would fill a pointer's own four bytes.
void ReportStringForPointer(Compiler& c, std::string_view name) {
  NameBuffer shown(name);
  ReportError(c, kErrStringNeedsArray, shown);
}

// One number at its element's width. A pointer takes four bytes whatever it
// points to, a long eight; a small value is one byte line and the padding
// behind it, a larger one its 32-bit words, low word first.
void EmitDataValue(Compiler& c, const DataNumber& n, int& size, const ElementKind& kind,
                   std::int64_t& count) {
  constexpr std::uint64_t kLow = 0xFFFFFFFFu;
  bool pointer = kind.pointer && size != 4;
  if (pointer || (size == 8 && !kind.structure)) {
    int width = pointer ? 4 : 8;
    WarnNumberInData(c, n.digits, n.negative, width, width);
    if (n.small) {
      EmitDataLine(c, "db ", n.digits);
      EmitPadding(c, width - 1);
    } else {
      EmitDataNumber(c, "dd ", n.value & kLow);
      if (width == 8) EmitDataNumber(c, "dd ", n.value >> 32);
    }
    count += width;
    return;
  }
  int declared = size;
  std::string_view directive = Directive(size);
  WarnNumberInData(c, n.digits, n.negative, size, declared);
  if (n.negative) {
    EmitDataNumber(c, directive, n.value & (size == 4 ? kLow : 0xFFu));
  } else {
    EmitDataLine(c, directive, n.digits);
  }
  count += size;
}

// Label and data of one declarator; extern declarators and members keep nothing,
// fixed data goes to .002. The caller's own flush follows.
void PlaceItem(Compiler& c, std::string_view name, std::string_view data, const ItemLayout& layout,
               int externFlag) {
  EmitLabel(c, name);
  EmitData(c, data, layout);
  if (externFlag == 1) {
    ClearEmit(c);
    return;
  }
  if (c.decl.fixedFlag != 0) FlushSection2(c);
}

// The innermost dimension of an array of two or more dimensions, else 0.
int StringRowSize(std::string_view dims) {
  int groups = 0;
  int last = 0;
  for (std::size_t p = dims.find('['); p != std::string_view::npos; p = dims.find('[', p + 1)) {
    ++groups;
    last = ReadDecimal(dims.substr(p + 1));
  }
  return groups >= 2 ? last : 0;
}

int StorageSize(int ptr, int typeSize) {
  return ptr != 0 ? 4 : typeSize;
}

// True when every line of the emit buffer is a LINE marker (or it is empty).
bool EmitHoldsOnlyMarkers(const Compiler& c) {
  std::string_view rest = c.out.emit.view();
  while (!rest.empty()) {
    std::size_t end = rest.find("\r\n");
    std::string_view line = rest.substr(0, end);
    if (!line.empty() && !line.starts_with("LINE:")) return false;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 2);
  }
  return true;
}

// The data text of a literal: a quote, three digits per character, a quote.
void LiteralCodes(std::string_view literal, FixedText<10240>& data) {
  data.assign("\"");
  for (char ch : literal) data.append(CodeOf(ch).view());
  data.append('"');
}

// Writes one hoisted literal's label and data to .002. A buffer of markers only
// goes along ahead of it and is replaced by the last marker line; code or labels
// already in the buffer stay there.
void PlaceLiteral(Compiler& c, std::string_view label, std::string_view data) {
  bool markersOnly = EmitHoldsOnlyMarkers(c);
  std::size_t keep = c.out.emit.size();
  EmitLabel(c, label);
  EmitData(c, data, {1, -1, ""});
  if (markersOnly) {
    FlushSection2(c);
    SetEmit(c, c.scan.lastMarkerLine.view());
    return;
  }
  c.out.section2.Write(c.out.emit.view().substr(keep));
  c.out.section2.Write("\r\n");
  c.out.emit.truncate(keep);
}

}  // namespace

void EmitLabel(Compiler& c, std::string_view name) {
  Emit(c, name);
  Emit(c, ":\r\n");
}

void EmitData(Compiler& c, std::string_view text, const ItemLayout& layout) {
  std::int64_t count = 0;
  int depth = 0;
  int size = layout.elemSize;
  ElementKind kind{layout.pointer, !layout.typeName.empty()};
  bool stringReported = false;
  // A pointer's value is an address, not a structure: its values walk no members.
  bool walk = !layout.typeName.empty() && !layout.pointer;
  if (walk) NextMember(c, "");
  std::size_t i = 0;
  while (true) {
    while (i < text.size() && !IsDataStop(text[i])) ++i;
    if (i >= text.size()) break;
    if (walk && depth == 1) {
      int m = NextMember(c, layout.typeName);
      if (m != -1) {
        const MemberRecord& member = c.decl.members[m];
        size = member.elemSize;
        kind = {member.indirection == 2, member.structure,
                member.indirection == 2 && member.isArray == 0};
      }
    }
    char ch = text[i];
    if (ch == '"') {
      if (kind.pointerMember && !stringReported) ReportStringForPointer(c, layout.name);
      stringReported = stringReported || kind.pointerMember;
      std::string_view directive = Directive(size);
      i = EmitCodes(c, text, i, directive, size, depth > 0 ? layout.rowSize : 0, count);
    } else if (IsDigit(ch)) {
      std::size_t j = i;
      while (j < text.size() && IsDigit(text[j])) ++j;
      EmitDataValue(c, ReadDataNumber(text, i, j), size, kind, count);
      i = j;
    } else {
      if (ch == '{') ++depth;
      if (ch == '}') --depth;
      ++i;
    }
  }
  if (layout.totalSize == -1) return;
  std::int64_t room = layout.totalSize - count;
  if (room > 0) {
    EmitPadding(c, room);
  } else if (room < 0 && layout.totalSize != 0) {
    ReportError(c, kErrDataSpace, "");
  }
}

int ArrayByteSize(std::string_view dims, int elemSize) {
  std::int64_t product = 1;
  std::size_t p = dims.find('[');
  while (p != std::string_view::npos && p < dims.size() && dims[p] == '[') {
    product = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(product * ReadDecimal(dims.substr(p + 1))));
    p = dims.find(']', p);
    if (p == std::string_view::npos) break;
    ++p;
    while (p < dims.size() && dims[p] == ' ') ++p;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(product * elemSize));
}

void DeclareScalar(Compiler& c, NameBuffer& name, int ptr, int typeSize, int externFlag,
                   std::string_view typeName, int memberFlag, std::string_view ownTag) {
  int storage = StorageSize(ptr, typeSize);
  DeclareSymbol(c, name, typeSize, ptr, 0, ptr + 1, storage, typeName, memberFlag, -1, ownTag);
  PlaceItem(c, name.view(), "0", {typeSize, storage, typeName, ptr != 0}, externFlag);
  FlushSection4(c);
}

void DeclareScalarInit(Compiler& c, NameBuffer& name, std::string_view value, int ptr, int typeSize,
                       int externFlag, std::string_view typeName, int memberFlag,
                       std::string_view ownTag) {
  if (ptr != 0 && value.find('"') != std::string_view::npos) {
    ReportStringForPointer(c, name.view());
  }
  int storage = StorageSize(ptr, typeSize);
  DeclareSymbol(c, name, typeSize, ptr, 0, ptr + 1, storage, typeName, memberFlag, -1, ownTag);
  ItemLayout layout{typeSize, storage, typeName, ptr != 0};
  layout.name = name.view();
  PlaceItem(c, name.view(), value, layout, externFlag);
  FlushSection3(c);
}

void DeclareArray(Compiler& c, NameBuffer& name, std::string_view dims, int typeSize, int ptr,
                  int externFlag, std::string_view typeName, int memberFlag,
                  std::string_view ownTag) {
  int total = ArrayByteSize(dims, StorageSize(ptr, typeSize));
  DeclareSymbol(c, name, typeSize, SymArray, 1, ptr + 1, total, typeName, memberFlag, -1, ownTag);
  RecordDimensions(c, name.view(), dims);
  PlaceItem(c, name.view(), "", {typeSize, total, typeName, ptr != 0}, externFlag);
  FlushSection4(c);
}

void DeclareArrayInit(Compiler& c, NameBuffer& name, std::string_view dims, int typeSize,
                      std::string_view value, int ptr, int externFlag, std::string_view typeName,
                      int memberFlag, std::string_view ownTag) {
  int total = ArrayByteSize(dims, StorageSize(ptr, typeSize));
  DeclareSymbol(c, name, typeSize, SymArray, 1, ptr + 1, total, typeName, memberFlag, -1, ownTag);
  RecordDimensions(c, name.view(), dims);
  ItemLayout layout{typeSize, total, typeName, ptr != 0};
  layout.name = name.view();
  // The strings of a char array's list fill rows of its innermost dimension.
  if (typeSize == 1 && ptr == 0 && typeName.empty()) layout.rowSize = StringRowSize(dims);
  PlaceItem(c, name.view(), value, layout, externFlag);
  FlushSection3(c);
}

int HoistStringLiterals(Compiler& c, FixedText<1024>& text) {
  DeclState& d = c.decl;
  for (std::size_t open = text.find('"'); open != FixedText<1024>::npos; open = text.find('"')) {
    std::size_t close = text.find('"', open + 1);
    if (close == FixedText<1024>::npos) return 0;
    std::string_view literal = text.view().substr(open + 1, close - open - 1);
    if (literal.size() > kLiteralLimit) {
      ReportError(c, kErrLiteralLength, "");
      literal = literal.substr(0, kLiteralLimit);
    }
    FixedText<10240> data;
    LiteralCodes(literal, data);
    ++d.auxStringCounter;
    NameBuffer label("PTR_AUX_NUMBER_");
    label.append(c.run.targetSuffix.view());
    label.append_number(d.auxStringCounter);
    if (!text.splice(open, close - open + 1, label.view())) {
      ReportError(c, kErrExpressionLength, "");
      return 0;
    }
    DeclareSymbol(c, label, 1, SymArray, 0, 1, 0, "", 0, -1);  // a char array
    PlaceLiteral(c, label.view(), data.view());
  }
  return 1;
}

}  // namespace stackcc
