// The options for testing a program in CI: expected device calls, a record
// of the calls, coverage and profiles. Each is off unless asked for, and a
// run without them is the plain run.
#pragma once

#include <fstream>
#include <iosfwd>
#include <memory>
#include <string>

#include "vm/execution_counts.h"
#include "vm/expected_calls.h"

namespace stackvm {

struct ToolOptions {
  bool untilScriptEnds = false;  // --until-script-ends
  bool strictScript = false;     // --strict-script
  std::string recordPath;        // --record FILE
  std::string coveragePath;      // --coverage FILE
  std::string profilePath;       // --profile FILE
  bool profileSummary = false;   // --profile-summary
  bool compareGcc = false;       // --compare-gcc
  std::string cc = "cc";         // --cc CMD

  bool counting() const { return !coveragePath.empty() || !profilePath.empty() || profileSummary; }
};

struct ToolContext {
  std::string base;        // the program's base name
  std::string directory;   // where its sources are
  std::string scriptPath;  // empty without a script
};

class RunTools {
 public:
  // Opens the record file; throws UsageError when it cannot be created.
  RunTools(const Program& program, const DeviceScript& script, const ToolOptions& options,
           ToolContext context);

  // The run options with the device call checks in place.
  RunOptions runOptions(RunOptions run);
  // Runs the machine, watched when counts are wanted.
  int run(Machine& machine);
  // After the run (`failed` after a run-time error): a missing expected call,
  // then the files asked for. Gives the run's status.
  int finish(int status, bool failed, std::ostream& err);

 private:
  bool writeFile(const std::string& path, const std::string& what, std::ostream& err,
                 void (RunTools::*write)(std::ostream&) const);
  void writeCoverageTo(std::ostream& out) const;
  void writeProfileTo(std::ostream& out) const;

  const Program& program_;
  ToolOptions options_;
  ToolContext context_;
  std::ofstream record_;
  std::unique_ptr<DeviceCalls> calls_;
  std::unique_ptr<ExecutionCounts> counts_;
};

}  // namespace stackvm
