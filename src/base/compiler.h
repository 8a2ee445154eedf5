// The compilation object: one run's state, in parts. Each part is defined (and
// its operations written) in the layer it belongs to; the object joins them so
// that every subsystem reaches the parts of its own layer and the layers below
// it through one argument. The parts are owned by a Compilation (driver/), so a
// test builds a fresh one per case and a process may compile more than once.
#pragma once

namespace stackcc {

struct RunState;      // io/run_state.h: options, console, stop status
struct Diagnostics;   // io/diagnostics.h: error reports
struct OutputState;   // io/output.h: emit buffer and output files
struct IncludeStack;  // io/source_reader.h: the open files and their windows
struct ScanState;     // scanner/scanner.h: the cursor and the readers' buffers
struct PreprocState;  // preproc/preproc.h: defines, conditions, the line copy
struct DeclState;     // decl/tables.h: symbol, member and dimension tables
struct ExprState;     // expr/expression.h: the terms of the statement in hand
struct BlockState;    // stmt/statements.h: block stack and label counters
struct DriverState;   // driver/driver.h: the names of the run's files

struct Compiler {
  RunState& run;
  Diagnostics& diag;
  OutputState& out;
  IncludeStack& reader;
  ScanState& scan;
  PreprocState& pre;
  DeclState& decl;
  ExprState& expr;
  BlockState& blocks;
  DriverState& driver;
};

}  // namespace stackcc
