#include "vm/run_tools.h"

#include <ostream>

#include "vm/coverage.h"
#include "vm/errors.h"
#include "vm/profile.h"

namespace stackvm {

namespace {

// lcov takes letters, digits and '_' in a test name.
std::string testName(const std::string& base) {
  std::string name = base.substr(base.rfind('/') + 1);
  for (char& c : name) {
    const bool ok =
        c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!ok) c = '_';
  }
  return name;
}

}  // namespace

RunTools::RunTools(const Program& program, const DeviceScript& script, const ToolOptions& options,
                   ToolContext context)
    : program_(program), options_(options), context_(std::move(context)) {
  DeviceCallSettings settings;
  settings.untilScriptEnds = options.untilScriptEnds;
  settings.strictScript = options.strictScript;
  if (!options.recordPath.empty()) {
    record_.open(options.recordPath, std::ios::binary | std::ios::trunc);
    if (!record_) throw UsageError("--record " + options.recordPath + ": cannot be written");
    record_ << "# the device calls of a run of " << context_.base << ", with their results\n";
    settings.record = &record_;
  }
  const bool checking = !script.expected().empty() || settings.untilScriptEnds ||
                        settings.strictScript || settings.record;
  if (checking) {
    const std::string name = context_.scriptPath.empty() ? "the script" : context_.scriptPath;
    calls_ = std::make_unique<DeviceCalls>(settings, script.expected(), name);
  }
}

RunOptions RunTools::runOptions(RunOptions run) {
  run.devices = calls_.get();
  if (options_.counting()) counts_ = std::make_unique<ExecutionCounts>(program_, run.steps);
  return run;
}

int RunTools::run(Machine& machine) {
  if (!counts_) return machine.run();
  machine.start();
  machine.resume(counts_.get(), UINT64_MAX);
  return machine.status();
}

int RunTools::finish(int status, bool failed, std::ostream& err) {
  if (calls_ && !failed) {
    const std::string missing = calls_->missing();
    if (!missing.empty()) {
      err << printable(missing) << '\n';
      status = kExpectStatus;
    }
  }
  bool written = true;
  if (record_.is_open()) {
    record_.flush();
    if (!record_) {
      err << "stackvm: --record " << options_.recordPath << ": cannot be written\n";
      written = false;
    }
  }
  if (counts_) {
    counts_->finish();
    if (!options_.coveragePath.empty())
      written &= writeFile(options_.coveragePath, "--coverage", err, &RunTools::writeCoverageTo);
    if (!options_.profilePath.empty())
      written &= writeFile(options_.profilePath, "--profile", err, &RunTools::writeProfileTo);
    if (options_.profileSummary) printProfileSummary(err, program_, *counts_);
  }
  return written || status != 0 ? status : kRunErrorStatus;
}

bool RunTools::writeFile(const std::string& path, const std::string& what, std::ostream& err,
                         void (RunTools::*write)(std::ostream&) const) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) (this->*write)(out);
  out.flush();
  if (out) return true;
  err << "stackvm: " << what << ' ' << path << ": cannot be written\n";
  return false;
}

void RunTools::writeCoverageTo(std::ostream& out) const {
  writeCoverage(out, program_, *counts_, context_.directory, testName(context_.base));
}

void RunTools::writeProfileTo(std::ostream& out) const {
  writeProfile(out, program_, *counts_, context_.directory, context_.base);
}

}  // namespace stackvm
