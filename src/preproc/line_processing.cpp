// Stand-in until the preprocessor lands: passes each line through.
#include "driver/compiler.h"

namespace stackcc {

std::string_view PreprocessLine(Compiler& c, SourceText text) {
  BeginText(c, text.text, text.length);
  ClearEmit(c);
  int p = 0;
  while (p < text.length && text.text[p] != '\n') ++p;
  c.scan.cur.position = p < text.length ? p + 1 : p;
  SetEmit(c, std::string_view(text.text, p));
  return c.out.emit.view();
}

}  // namespace stackcc
