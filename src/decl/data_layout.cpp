#include "decl/data_layout.h"

#include <cstdint>

#include "driver/compiler.h"
#include "driver/pass_overlap.h"
#include "driver/text_helpers.h"

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

// The three-digit code lines of a quoted code run starting at the opening quote;
// returns the position after the closing quote.
std::size_t EmitCodes(Compiler& c, std::string_view text, std::size_t i, std::string_view directive,
                      int size, std::int64_t& count) {
  ++i;
  while (i < text.size() && text[i] != '"') {
    std::size_t n = 0;
    while (n < 3 && i + n < text.size() && text[i + n] != '"') ++n;
    EmitDataLine(c, directive, text.substr(i, n));
    count += size;
    i += n;
  }
  EmitDataLine(c, directive, "0");  // the string's terminator
  count += size;
  return i < text.size() ? i + 1 : i;
}

// Label and data of one declarator; extern declarators and members keep nothing,
// fixed data goes to .002. The caller's own flush follows.
void PlaceItem(Compiler& c, std::string_view name, std::string_view data, int typeSize, int total,
               int externFlag, std::string_view typeName) {
  EmitLabel(c, name);
  EmitData(c, data, typeSize, total, typeName);
  if (externFlag == 1) {
    ClearEmit(c);
    return;
  }
  if (c.decl.fixedFlag != 0) FlushSection2(c);
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
  for (char ch : literal) {
    int v = static_cast<unsigned char>(ch);
    char code[3] = {static_cast<char>('0' + v / 100), static_cast<char>('0' + v / 10 % 10),
                    static_cast<char>('0' + v % 10)};
    data.append(std::string_view(code, 3));
  }
  data.append('"');
}

// Writes one hoisted literal's label and data to .002. A buffer of markers only
// goes along ahead of it and is replaced by the last marker line; code or labels
// already in the buffer stay there.
void PlaceLiteral(Compiler& c, std::string_view label, std::string_view data) {
  bool markersOnly = EmitHoldsOnlyMarkers(c);
  std::size_t keep = c.out.emit.size();
  EmitLabel(c, label);
  EmitData(c, data, 1, -1, "");
  if (markersOnly) {
    FlushSection2(c);
    // The last marker line may still be Pass 1's.
    if (c.driver.overlap != nullptr) c.driver.overlap->MayShow(c);
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

void EmitData(Compiler& c, std::string_view text, int elemSize, int totalSize,
              std::string_view typeName) {
  std::int64_t count = 0;
  int depth = 0;
  int size = elemSize;
  bool walk = !typeName.empty();
  if (walk) NextMember(c, "");
  std::size_t i = 0;
  while (true) {
    while (i < text.size() && !IsDataStop(text[i])) ++i;
    if (i >= text.size()) break;
    if (walk && depth == 1) {
      int m = NextMember(c, typeName);
      if (m != -1) size = c.decl.members[m].elemSize;
    }
    std::string_view directive = Directive(size);
    char ch = text[i];
    if (ch == '"') {
      i = EmitCodes(c, text, i, directive, size, count);
    } else if (IsDigit(ch)) {
      std::size_t j = i;
      while (j < text.size() && IsDigit(text[j])) ++j;
      EmitDataLine(c, directive, text.substr(i, j - i));
      count += size;
      i = j;
    } else {
      if (ch == '{') ++depth;
      if (ch == '}') --depth;
      ++i;
    }
  }
  if (totalSize == -1) return;
  std::int64_t room = totalSize - count;
  if (room > 0) {
    Emit(c, "db 0 DUP ");
    EmitNumber(c, room);
    Emit(c, " \r\n");
  } else if (room < 0 && totalSize != 0) {
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
  PlaceItem(c, name.view(), "0", typeSize, storage, externFlag, typeName);
  FlushSection4(c);
}

void DeclareScalarInit(Compiler& c, NameBuffer& name, std::string_view value, int ptr, int typeSize,
                       int externFlag, std::string_view typeName, int memberFlag,
                       std::string_view ownTag) {
  int storage = StorageSize(ptr, typeSize);
  DeclareSymbol(c, name, typeSize, ptr, 0, ptr + 1, storage, typeName, memberFlag, -1, ownTag);
  PlaceItem(c, name.view(), value, typeSize, storage, externFlag, typeName);
  FlushSection3(c);
}

void DeclareArray(Compiler& c, NameBuffer& name, std::string_view dims, int typeSize, int ptr,
                  int externFlag, std::string_view typeName, int memberFlag,
                  std::string_view ownTag) {
  int total = ArrayByteSize(dims, StorageSize(ptr, typeSize));
  DeclareSymbol(c, name, typeSize, SymArray, 1, ptr + 1, total, typeName, memberFlag, -1, ownTag);
  RecordDimensions(c, name.view(), dims);
  PlaceItem(c, name.view(), "", typeSize, total, externFlag, typeName);
  FlushSection4(c);
}

void DeclareArrayInit(Compiler& c, NameBuffer& name, std::string_view dims, int typeSize,
                      std::string_view value, int ptr, int externFlag, std::string_view typeName,
                      int memberFlag, std::string_view ownTag) {
  int total = ArrayByteSize(dims, StorageSize(ptr, typeSize));
  DeclareSymbol(c, name, typeSize, SymArray, 1, ptr + 1, total, typeName, memberFlag, -1, ownTag);
  RecordDimensions(c, name.view(), dims);
  PlaceItem(c, name.view(), value, typeSize, total, externFlag, typeName);
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
    label.append(c.driver.targetSuffix.view());
    label.append_number(d.auxStringCounter);
    if (!text.splice(open, close - open + 1, label.view())) {
      ReportError(c, kErrExpressionLength, "");
      return 0;
    }
    DeclareSymbol(c, label, 4, SymArray, 0, 1, 0, "", 0, -1);
    PlaceLiteral(c, label.view(), data.view());
  }
  return 1;
}

}  // namespace stackcc
