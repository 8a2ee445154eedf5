// One run's state, whole: every part of the compilation object, and the object
// that hands them to the subsystems.
#pragma once

#include "base/compiler.h"
#include "decl/tables.h"
#include "driver/driver.h"
#include "expr/expression.h"
#include "io/diagnostics.h"
#include "io/output.h"
#include "io/run_state.h"
#include "io/source_reader.h"
#include "preproc/preproc.h"
#include "scanner/scanner.h"
#include "stmt/statements.h"

namespace stackcc {

class Compilation {
 public:
  // Every part is default-initialised: each member carries its own
  // initialiser, and the large buffers are left untouched until used.
  Compilation();
  Compilation(const Compilation&) = delete;
  Compilation& operator=(const Compilation&) = delete;

  Compiler& compiler() { return compiler_; }

 private:
  RunState run_;
  Diagnostics diag_;
  OutputState out_;
  IncludeStack reader_;
  ScanState scan_;
  PreprocState pre_;
  DeclState decl_;
  ExprState expr_;
  BlockState blocks_;
  DriverState driver_;
  Compiler compiler_{run_, diag_, out_, reader_, scan_, pre_, decl_, expr_, blocks_, driver_};
};

}  // namespace stackcc
