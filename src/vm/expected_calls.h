// The device calls of a run held against the script: the expect lines in
// order, the end of the script's values, a record of the calls in script
// syntax, and a trace of the calls alone.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "vm/device_script.h"
#include "vm/program.h"

namespace stackvm {

struct DeviceCallSettings {
  bool untilScriptEnds = false;  // a call without a value ends the run, status 0
  bool strictScript = false;     // a call without a value is a run-time error
  std::ostream* record = nullptr;
  std::vector<std::string>* places = nullptr;  // the source position of each call
};

class DeviceCalls {
 public:
  DeviceCalls(DeviceCallSettings settings, std::vector<ExpectedCall> expected,
              std::string scriptName);

  // One call of a device routine at source position `where`; gives its
  // result. Throws CallStop or RunError when the run ends at this call.
  int64_t call(const HostRoutine& routine, const std::vector<int64_t>& args,
               const std::string& where, DeviceScript& script);
  // After a run that was not stopped by an error: the first expected call
  // that was not made, or an empty text.
  std::string missing() const;

  // How far the run got through the expected calls, for the debugger to go
  // back to a point of the run.
  struct Progress {
    size_t made = 0;
    std::string lastWhere;
  };
  Progress progress() const { return {made_, lastWhere_}; }
  void setProgress(const Progress& p) {
    made_ = p.made;
    lastWhere_ = p.lastWhere;
  }

 private:
  bool endsTheRun(const HostRoutine& routine, const DeviceScript& script) const;
  void check(const HostRoutine& routine, const std::vector<int64_t>& args,
             const std::string& where);
  int64_t result(const HostRoutine& routine, const std::vector<int64_t>& args,
                 const std::string& where, DeviceScript& script);
  void record(const HostRoutine& routine, const std::vector<int64_t>& args, int64_t result);

  DeviceCallSettings settings_;
  std::vector<ExpectedCall> expected_;
  std::string scriptName_;
  size_t made_ = 0;  // expected calls made so far
  std::string lastWhere_;
};

// "name(a, b)".
std::string callText(const std::string& name, const std::vector<int64_t>& args);

}  // namespace stackvm
