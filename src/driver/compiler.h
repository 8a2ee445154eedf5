// The compilation object: all state of one run, shared by the subsystems. A test
// builds a fresh Compiler per case; a process may compile more than once.
#pragma once

#include "decl/tables.h"
#include "driver/diagnostics.h"
#include "driver/driver.h"
#include "driver/output.h"
#include "driver/source_reader.h"
#include "expr/expression.h"
#include "preproc/preproc.h"
#include "scanner/scanner.h"
#include "stmt/statements.h"

namespace stackcc {

struct Compiler {
  DriverState driver;
  IncludeStack reader;
  Diagnostics diag;
  OutputState out;
  ScanState scan;
  PreprocState pre;
  DeclState decl;
  BlockState blocks;
  ExprState expr;
};

inline void SkipBlanks(Compiler& c) {
  const ScanCursor& k = c.scan.cur;
  if (k.position == k.skippedTo && k.text == k.skippedText && k.length == k.skippedLength) return;
  SkipBlanksAtCursor(c);
}

inline void Emit(Compiler& c, std::string_view text) {
  if (!c.out.emit.append(text)) EmitOverflowed(c);
}

inline void EmitNumber(Compiler& c, long long value) {
  char buf[24];
  Emit(c, DecimalDigits(buf, value));
}

}  // namespace stackcc
