#include "vm/expected_calls.h"

#include <ostream>

#include "vm/errors.h"
#include "vm/widths.h"

namespace stackvm {

std::string callText(const std::string& name, const std::vector<int64_t>& args) {
  std::string text = name + "(";
  for (size_t i = 0; i < args.size(); ++i) text += (i ? ", " : "") + std::to_string(args[i]);
  return text + ")";
}

DeviceCalls::DeviceCalls(DeviceCallSettings settings, std::vector<ExpectedCall> expected,
                         std::string scriptName)
    : settings_(settings), expected_(std::move(expected)), scriptName_(std::move(scriptName)) {}

int64_t DeviceCalls::call(const HostRoutine& routine, const std::vector<int64_t>& args,
                          const std::string& where, DeviceScript& script) {
  lastWhere_ = where;
  if (settings_.places) settings_.places->push_back(where);
  if (!endsTheRun(routine, script)) check(routine, args, where);
  const int64_t value = result(routine, args, where, script);
  record(routine, args, value);
  return value;
}

// With --until-script-ends, a call past the last expected one that takes a
// value the script has no more of is where the run stops, not an extra call:
// a run recorded that way replays.
bool DeviceCalls::endsTheRun(const HostRoutine& routine, const DeviceScript& script) const {
  return settings_.untilScriptEnds && made_ == expected_.size() && routine.result != 0 &&
         !script.hasValue(routine.name);
}

// The expected argument as the routine's parameter holds it, so that
// `expect put(200)` matches a char parameter.
void DeviceCalls::check(const HostRoutine& routine, const std::vector<int64_t>& args,
                        const std::string& where) {
  const std::vector<ExpectedCall>& expected = expected_;
  if (expected.empty()) return;
  const std::string made = callText(routine.name, args);
  if (made_ == expected.size()) {
    throw CallStop(kExpectStatus, where + ": device call " + made +
                                      " after the last expected call (" + scriptName_ + ":" +
                                      std::to_string(expected.back().line) + ")");
  }
  const ExpectedCall& want = expected[made_];
  bool same = want.name == routine.name && want.args.size() == args.size();
  for (size_t i = 0; same && i < args.size(); ++i)
    same = narrowTo(routine.params[i], want.args[i]) == args[i];
  if (!same) {
    throw CallStop(kExpectStatus, where + ": device call " + made + " where " + scriptName_ + ":" +
                                      std::to_string(want.line) + " expects " +
                                      callText(want.name, want.args));
  }
  ++made_;
}

int64_t DeviceCalls::result(const HostRoutine& routine, const std::vector<int64_t>& args,
                            const std::string& where, DeviceScript& script) {
  if (routine.result == 0) return 0;
  if (!script.hasValue(routine.name)) {
    const std::string made = callText(routine.name, args);
    if (settings_.untilScriptEnds)
      throw CallStop(0, where + ": " + made + " has no value in the script: the run ends here");
    if (settings_.strictScript) throw RunError(where + ": " + made + " has no value in the script");
  }
  return script.next(routine.name);
}

void DeviceCalls::record(const HostRoutine& routine, const std::vector<int64_t>& args,
                         int64_t result) {
  if (!settings_.record) return;
  std::ostream& out = *settings_.record;
  out << "expect " << callText(routine.name, args) << '\n';
  if (routine.result != 0) out << routine.name << ' ' << narrowTo(routine.result, result) << '\n';
}

std::string DeviceCalls::missing() const {
  const std::vector<ExpectedCall>& expected = expected_;
  if (made_ == expected.size()) return "";
  const ExpectedCall& want = expected[made_];
  std::string text = scriptName_ + ":" + std::to_string(want.line) + ": the run ended without " +
                     "the expected call " + callText(want.name, want.args);
  if (!lastWhere_.empty()) text += " (the last device call was at " + lastWhere_ + ")";
  return text;
}

}  // namespace stackvm
