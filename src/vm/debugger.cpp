#include "vm/debugger.h"

#include <algorithm>

#include "vm/errors.h"
#include "vm/loader.h"

namespace stackvm {

namespace {

// Asks a predicate before every instruction and, when watches are set,
// compares them first.
class Asker : public Supervisor {
 public:
  using Check = std::function<std::optional<StopEvent>(const Machine&)>;
  explicit Asker(Check check) : check_(std::move(check)) {}
  bool stopBefore(const Machine& m) override {
    event = check_(m);
    return event.has_value();
  }
  std::optional<StopEvent> event;

 private:
  Check check_;
};

// A marker's file name and a name the user gave: the same, or one a path
// ending in the other ("prog.c" and "/home/me/prog.c").
bool sameFile(const std::string& have, const std::string& wanted) {
  auto endsIn = [](const std::string& path, const std::string& name) {
    return path.size() > name.size() &&
           path.compare(path.size() - name.size(), name.size(), name) == 0 &&
           path[path.size() - name.size() - 1] == '/';
  };
  return have == wanted || endsIn(have, wanted) || endsIn(wanted, have);
}

bool digitsOnly(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

Debugger::Debugger(const Program& program, DebugInfo info, DeviceScript script, RunOptions options,
                   Streams streams)
    : program_(program),
      info_(std::move(info)),
      script_(std::move(script)),
      options_(options),
      io_(streams),
      input_(streams.in),
      output_(streams.out),
      errors_(streams.err),
      in_(&input_),
      out_(&output_),
      err_(&errors_),
      trapCount_(program.code.size(), 0) {
  buildLineTable();
}

Debugger::~Debugger() = default;

void Debugger::buildLineTable() {
  const uint32_t count = program_.instructionCount();
  lineStart_.assign(count, false);
  for (uint32_t i = 0; i < count; ++i)
    lineStart_[i] = i == 0 || positionKey(i) != positionKey(i - 1);
  std::vector<std::pair<uint32_t, uint32_t>> entries;  // entry, function index + 1
  for (size_t k = 0; k < info_.functions.size(); ++k) {
    for (const Function& f : program_.functions) {
      if (f.name == info_.functions[k].label) entries.emplace_back(f.entry, k + 1);
    }
  }
  std::sort(entries.begin(), entries.end());
  // A function's head stores its parameters: stepping and breakpoints begin
  // at the line after it.
  for (const auto& entry : entries) {
    if (entry.first < count) lineStart_[entry.first] = false;
  }
  functionOf_.assign(program_.code.size(), 0);
  size_t next = 0;
  uint32_t current = 0;
  for (uint32_t i = 0; i < count; ++i) {
    while (next < entries.size() && entries[next].first <= i) current = entries[next++].second;
    functionOf_[i] = current;
  }
}

uint64_t Debugger::positionKey(uint32_t pc) const {
  const Position& p = program_.positions[pc];
  return p.file != 0 ? (uint64_t{p.file} << 32 | p.line) : (uint64_t{1} << 63 | p.codeLine);
}

std::pair<std::string, uint32_t> Debugger::position(uint32_t pc) const {
  const Position& p = program_.positions.at(pc);
  if (p.file != 0) return {program_.sourceFiles[p.file], p.line};
  return {program_.codeFileName, p.codeLine};
}

std::string Debugger::functionAt(uint32_t pc) const {
  if (pc >= functionOf_.size() || functionOf_[pc] == 0) return "";
  return info_.functions[functionOf_[pc] - 1].name;
}

std::vector<FrameInfo> Debugger::frames() const {
  std::vector<FrameInfo> result;
  if (!machine_) return result;
  result.push_back({functionAt(machine_->pc()), machine_->pc()});
  const auto& calls = machine_->frames();
  for (size_t k = calls.size(); k-- > 1;) {
    const uint32_t at = calls[k].returnTo - 1;
    result.push_back({functionAt(at), at});
  }
  return result;
}

Evaluator Debugger::evaluator(size_t frame) const {
  std::vector<FrameInfo> all = frames();
  return Evaluator(info_, *machine_, frame < all.size() ? all[frame].function : "");
}

std::vector<const VariableInfo*> Debugger::locals(const std::string& function,
                                                  bool parameters) const {
  std::vector<const VariableInfo*> found;
  for (const VariableInfo& v : info_.variables) {
    if (!function.empty() && v.scope == function && v.parameter == parameters) found.push_back(&v);
  }
  return found;
}

std::vector<const VariableInfo*> Debugger::globals() const {
  std::vector<const VariableInfo*> found;
  for (const VariableInfo& v : info_.variables) {
    if (v.scope.empty()) found.push_back(&v);
  }
  return found;
}

// Breakpoint locations.

std::vector<uint32_t> Debugger::resolve(const std::string& location) const {
  const size_t colon = location.rfind(':');
  std::string file;
  std::string line = location;
  if (colon != std::string::npos && digitsOnly(location.substr(colon + 1))) {
    file = location.substr(0, colon);
    line = location.substr(colon + 1);
  } else if (digitsOnly(location)) {
    file = machine_ ? position(machine_->pc()).first : position(program_.mainEntry).first;
  } else {
    const FunctionInfo* f = info_.function(location);
    if (!f) throw DebugError("Function \"" + location + "\" not defined.");
    for (const Function& code : program_.functions) {
      if (code.name != f->label) continue;
      // The first line after the head's, where the parameters are stored.
      for (uint32_t i = code.entry;
           i < lineStart_.size() && functionOf_[i] == functionOf_[code.entry]; ++i) {
        if (lineStart_[i] && positionKey(i) != positionKey(code.entry)) return {i};
      }
      return {code.entry};
    }
    throw DebugError("Function \"" + location + "\" has no code.");
  }
  const uint64_t wanted = std::stoull(line.substr(0, 9));
  std::optional<uint32_t> best;
  std::vector<uint32_t> sites;
  for (uint32_t i = 0; i < lineStart_.size(); ++i) {
    if (!lineStart_[i] || functionOf_[i] == 0) continue;
    auto [f, l] = position(i);
    if (!sameFile(f, file) || l < wanted) continue;
    if (!best || l < *best) {
      best = l;
      sites.clear();
    }
    if (l == *best) sites.push_back(i);
  }
  if (sites.empty()) throw DebugError("No line " + line + " in file \"" + file + "\".");
  return sites;
}

void Debugger::placeSites(const std::vector<uint32_t>& sites, int delta) {
  for (uint32_t pc : sites) {
    trapCount_[pc] += delta;
    if (machine_) machine_->setTrap(pc, trapCount_[pc] > 0);
  }
}

const Breakpoint& Debugger::addBreakpoint(const std::string& location, bool temporary) {
  Breakpoint b;
  b.sites = resolve(location);
  b.number = nextNumber_++;
  b.location = location;
  b.temporary = temporary;
  placeSites(b.sites, 1);
  breakpoints_.push_back(std::move(b));
  return breakpoints_.back();
}

bool Debugger::deleteBreakpoint(int number) {
  for (auto it = breakpoints_.begin(); it != breakpoints_.end(); ++it) {
    if (it->number == number) {
      placeSites(it->sites, -1);
      breakpoints_.erase(it);
      return true;
    }
  }
  for (auto it = watches_.begin(); it != watches_.end(); ++it) {
    if (it->number == number) {
      watches_.erase(it);
      return true;
    }
  }
  return false;
}

void Debugger::deleteAllBreakpoints() {
  for (const Breakpoint& b : breakpoints_) placeSites(b.sites, -1);
  breakpoints_.clear();
  watches_.clear();
}

bool Debugger::setCondition(int number, const std::string& condition) {
  for (Breakpoint& b : breakpoints_) {
    if (b.number == number) {
      b.condition = condition;
      return true;
    }
  }
  return false;
}

const Watch& Debugger::addWatch(const std::string& expression) {
  if (!running()) throw DebugError("The program is not being run: watch needs a running program.");
  Evaluator ev = evaluator();
  Value v = ev.evaluate(expression);
  if (!v.address) throw DebugError("Cannot watch constant value `" + expression + "'.");
  Watch w;
  w.number = nextNumber_++;
  w.expression = expression;
  w.address = *v.address;
  w.size = v.size;
  w.function = frames()[0].function;
  w.type = v.type;
  w.bytes = v.bytes;
  w.value = formatValue(v, ev);
  watches_.push_back(std::move(w));
  return watches_.back();
}

void Debugger::refreshWatches() {
  if (!machine_) return;
  Evaluator ev(info_, *machine_, "");
  for (Watch& w : watches_) {
    std::optional<std::vector<uint8_t>> now = machine_->readBytes(w.address, w.size);
    if (!now) continue;
    w.bytes = *now;
    w.value = formatValue(ev.object(w.address, w.type, w.size), ev);
  }
}

std::optional<StopEvent> Debugger::watchChanged() {
  for (Watch& w : watches_) {
    std::optional<std::vector<uint8_t>> now = machine_->readBytes(w.address, w.size);
    if (!now || *now == w.bytes) continue;
    Evaluator ev(info_, *machine_, w.function);
    StopEvent e{StopKind::watch, w.number, w.value, "", "", 0};
    w.bytes = std::move(*now);
    w.value = formatValue(ev.object(w.address, w.type, w.size), ev);
    e.newValue = w.value;
    return e;
  }
  return std::nullopt;
}

bool Debugger::conditionHolds(const Breakpoint& b) const {
  if (b.condition.empty()) return true;
  Value v = Evaluator(info_, *machine_, functionAt(machine_->pc())).evaluate(b.condition);
  return !v.scalar() || v.number != 0;
}

std::optional<StopEvent> Debugger::breakpointAt(uint32_t pc) {
  for (auto it = breakpoints_.begin(); it != breakpoints_.end(); ++it) {
    if (std::find(it->sites.begin(), it->sites.end(), pc) == it->sites.end()) continue;
    StopEvent e{StopKind::breakpoint, it->number, "", "", "", 0};
    try {
      if (!conditionHolds(*it)) continue;
    } catch (const DebugError& error) {
      e.message = std::string("Error in testing condition for breakpoint ") +
                  std::to_string(it->number) + ": " + error.what();
    }
    ++it->hits;
    if (it->temporary) {
      e.number = -it->number;  // a temporary breakpoint, now deleted
      deleteBreakpoint(it->number);
    }
    return e;
  }
  return std::nullopt;
}

// Running forward.

StopEvent Debugger::run(bool atEntry) {
  kill();
  output_.reset();
  errors_.reset();
  input_.seek(0);
  in_.clear();
  RunOptions options = options_;
  calls_.reset();
  if (!script_.expected().empty()) {
    calls_ = std::make_unique<DeviceCalls>(DeviceCallSettings{}, script_.expected(), scriptName_);
    options.devices = calls_.get();
  }
  machine_ = std::make_unique<Machine>(program_, script_, options, Streams{in_, out_, err_});
  for (uint32_t pc = 0; pc < trapCount_.size(); ++pc) {
    if (trapCount_[pc] > 0) machine_->setTrap(pc, true);
  }
  ended_ = false;
  snapshotEvery_ = firstInterval_;
  machine_->start();
  snapshot();
  refreshWatches();
  if (atEntry) return {};
  return forward(nullptr);
}

void Debugger::kill() {
  machine_.reset();
  snapshots_.clear();
  ended_ = failed_ = false;
}

StopEvent Debugger::ended(const StopEvent& e) {
  out_.flush();
  if (e.kind == StopKind::finished) ended_ = true;
  if (e.kind == StopKind::error) failed_ = true;
  return e;
}

// The end of the program; an expected call it never made makes it a
// failure, as in a run without the debugger.
StopEvent Debugger::finished() {
  StopEvent e{StopKind::finished, 0, "", "", "", machine_->status()};
  if (calls_) {
    e.message = calls_->missing();
    if (!e.message.empty()) e.status = kExpectStatus;
  }
  return ended(e);
}

StopEvent Debugger::forward(const Predicate& stop) {
  if (failed_) {
    throw DebugError(
        "The program stopped at a run-time error and cannot go on (run starts it afresh; the "
        "reverse commands go back).");
  }
  Asker asker([&](const Machine& m) -> std::optional<StopEvent> {
    if (!watches_.empty()) {
      if (std::optional<StopEvent> e = watchChanged()) return e;
    }
    if (stop && stop(m)) return StopEvent{};
    return std::nullopt;
  });
  const bool supervised = stop != nullptr || !watches_.empty();
  bool first = true;
  try {
    for (;;) {
      if (first && trapAt(machine_->pc())) machine_->stepOverTrap();
      first = false;
      const uint64_t now = machine_->executed();
      const uint64_t due = snapshots_.back().time + snapshotEvery_;
      switch (machine_->resume(supervised ? &asker : nullptr, due > now ? due - now : 1)) {
        case Pause::finished:
          return finished();
        case Pause::window:
          snapshot();
          break;
        case Pause::watched:
          out_.flush();
          return *asker.event;
        case Pause::trap:
          if (std::optional<StopEvent> e = breakpointAt(machine_->pc())) return ended(*e);
          machine_->stepOverTrap();
          break;
      }
    }
  } catch (const RunError& e) {
    return ended({StopKind::error, 0, "", "", e.what(), e.status});
  }
}

Debugger::Predicate Debugger::motionPredicate(Motion motion) const {
  const uint64_t t0 = machine_->executed();
  const size_t d0 = depth();
  const uint64_t key0 = positionKey(machine_->pc());
  const uint32_t line0 = position(machine_->pc()).second;
  auto later = [this, t0](const Machine& m) { return m.executed() > t0 && lineStart(m.pc()); };
  switch (motion) {
    case Motion::stepi:
      return [t0](const Machine& m) { return m.executed() > t0; };
    case Motion::nexti:
      return [t0, d0](const Machine& m) { return m.executed() > t0 && m.frames().size() <= d0; };
    case Motion::step:
      return [=, this](const Machine& m) {
        return later(m) && (positionKey(m.pc()) != key0 || m.frames().size() != d0);
      };
    case Motion::next:
      return [=, this](const Machine& m) {
        const size_t d = m.frames().size();
        return d < d0 || (d == d0 && later(m) && positionKey(m.pc()) != key0);
      };
    case Motion::until:
      return [=, this](const Machine& m) {
        const size_t d = m.frames().size();
        return d < d0 || (d == d0 && later(m) && position(m.pc()).second > line0);
      };
    case Motion::finish:
      return [d0](const Machine& m) { return m.frames().size() < d0; };
    case Motion::cont:
      break;
  }
  return nullptr;
}

StopEvent Debugger::move(Motion motion) {
  return forward(motionPredicate(motion));
}

StopEvent Debugger::untilLocation(const std::vector<uint32_t>& sites) {
  const size_t d0 = depth();
  const uint64_t t0 = machine_->executed();
  return forward([=](const Machine& m) {
    return m.executed() > t0 &&
           (m.frames().size() < d0 || std::find(sites.begin(), sites.end(), m.pc()) != sites.end());
  });
}

// Snapshots and going back.

void Debugger::snapshot() {
  Snapshot s;
  s.time = machine_->executed();
  machine_->save(s.state);
  s.input = input_.position();
  s.output = output_.position();
  s.errors = errors_.position();
  if (calls_) s.calls = calls_->progress();
  snapshots_.push_back(std::move(s));
  size_t bytes = 0;
  for (const Snapshot& k : snapshots_)
    bytes += k.state.data.size() + k.state.stack.slots.size() * sizeof(ValueStack::Slot);
  if (snapshots_.size() > kMaxSnapshots || (bytes > kSnapshotBytes && snapshots_.size() > 2)) {
    // Keep every other one and take them half as often.
    std::vector<Snapshot> kept;
    for (size_t k = 0; k < snapshots_.size(); k += 2) kept.push_back(std::move(snapshots_[k]));
    snapshots_ = std::move(kept);
    snapshotEvery_ *= 2;
  }
}

void Debugger::restore(const Snapshot& s) {
  machine_->restore(s.state);
  input_.seek(s.input);
  in_.clear();
  output_.seek(s.output);
  errors_.seek(s.errors);
  if (calls_) calls_->setProgress(s.calls);
}

void Debugger::seek(uint64_t time) {
  size_t k = snapshots_.size();
  while (k > 1 && snapshots_[k - 1].time > time) --k;
  restore(snapshots_[k - 1]);
  while (machine_->executed() < time) {
    const Pause p = machine_->resume(nullptr, time - machine_->executed());
    if (p == Pause::finished) break;
    if (p == Pause::trap) machine_->stepOverTrap();
  }
  out_.flush();
}

std::optional<uint64_t> Debugger::lastTimeBefore(uint64_t now, const Predicate& wanted) {
  for (size_t k = snapshots_.size(); k-- > 0;) {
    if (snapshots_[k].time >= now) continue;
    const uint64_t limit = k + 1 < snapshots_.size() ? std::min(now, snapshots_[k + 1].time) : now;
    restore(snapshots_[k]);
    std::optional<uint64_t> found;
    Asker asker([&](const Machine& m) -> std::optional<StopEvent> {
      if (m.executed() >= limit) return StopEvent{};
      if (wanted(m)) found = m.executed();
      return std::nullopt;
    });
    try {
      while (machine_->executed() < limit) {
        // The asker has seen the boundary of a trap before the trap stops.
        const Pause p = machine_->resume(&asker, limit - machine_->executed() + 1);
        if (p == Pause::finished || p == Pause::watched) break;
        if (p == Pause::trap) machine_->stepOverTrap();
      }
    } catch (const RunError&) {
      // Going back from a run-time error: the re-run meets it again, after
      // the asker has seen the boundary before it.
    }
    if (found) return found;
  }
  return std::nullopt;
}

// Where going back stops: the last boundary before the present at which
// this holds.
Debugger::Predicate Debugger::backwardPredicate(Motion motion) const {
  const size_t d0 = std::max<size_t>(depth(), 1);  // from the end, main's lines
  switch (motion) {
    case Motion::stepi:
      return [](const Machine&) { return true; };
    case Motion::nexti:
      return [d0](const Machine& m) { return m.frames().size() <= d0; };
    case Motion::step:
      return [this](const Machine& m) { return lineStart(m.pc()); };
    case Motion::next:
    case Motion::until:
      return [this, d0](const Machine& m) { return lineStart(m.pc()) && m.frames().size() <= d0; };
    case Motion::finish:
      return [d0](const Machine& m) { return m.frames().size() < d0; };
    case Motion::cont:
      break;
  }
  return lastStopPredicate();
}

// A boundary where going forward would stop: a breakpoint whose condition
// holds, or the first after a write that changed a watch.
Debugger::Predicate Debugger::lastStopPredicate() const {
  auto seen = std::make_shared<std::vector<std::vector<uint8_t>>>(watches_.size());
  return [this, seen, last = UINT64_MAX](const Machine& m) mutable {
    // Each re-run starts earlier than the last one ended: its first
    // boundary gives the values the changes are measured against.
    const bool fresh = last == UINT64_MAX || m.executed() <= last;
    last = m.executed();
    bool hit = false;
    for (size_t k = 0; k < watches_.size(); ++k) {
      std::optional<std::vector<uint8_t>> b = m.readBytes(watches_[k].address, watches_[k].size);
      if (!b || *b == (*seen)[k]) continue;
      hit = hit || !fresh;
      (*seen)[k] = *b;
    }
    for (const Breakpoint& b : breakpoints_) {
      if (std::find(b.sites.begin(), b.sites.end(), m.pc()) == b.sites.end()) continue;
      try {
        hit = hit || conditionHolds(b);
      } catch (const DebugError&) {
        hit = true;
      }
    }
    return hit;
  };
}

StopEvent Debugger::moveBack(Motion motion) {
  const std::vector<Watch> before = watches_;
  std::optional<uint64_t> target = lastTimeBefore(machine_->executed(), backwardPredicate(motion));
  ended_ = failed_ = false;
  seek(target ? *target : snapshots_.front().time);
  refreshWatches();
  if (!target) return {StopKind::history_end, 0, "", "", "", 0};
  if (motion != Motion::cont) return {};
  for (const Breakpoint& b : breakpoints_) {
    if (std::find(b.sites.begin(), b.sites.end(), machine_->pc()) != b.sites.end())
      return {StopKind::breakpoint, b.number, "", "", "", 0};
  }
  for (size_t k = 0; k < watches_.size(); ++k) {
    if (watches_[k].bytes != before[k].bytes)
      return {StopKind::watch, watches_[k].number, before[k].value, watches_[k].value, "", 0};
  }
  return {};
}

}  // namespace stackvm
