// The machine: memory access, the value and return stacks, calls of code and
// of host routines, and the dispatch loop. A Machine owns one run's state.
#include "vm/machine.h"

#include <bit>
#include <cstring>
#include <ostream>

#include "vm/arithmetic.h"
#include "vm/errors.h"
#include "vm/loader.h"

static_assert(std::endian::native == std::endian::little, "data bytes are copied as host numbers");

namespace stackvm {

namespace {

std::string hex(uint32_t v) {
  static const char digits[] = "0123456789abcdef";
  std::string s = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) s += digits[(v >> shift) & 15];
  return s;
}

}  // namespace

Machine::Machine(const Program& program, DeviceScript script, RunOptions options, Streams streams)
    : program_(program),
      code_(program.code.data()),
      script_(std::move(script)),
      options_(options),
      io_(streams),
      data_(program.data),
      active_(program.functions.size(), 0),
      recursionWarned_(program.functions.size(), false) {
  frames_.reserve(kMaxCalls);
  runFast(&handlers_);
  threaded_.resize(program.code.size());
  for (uint32_t i = 0; i < threaded_.size(); ++i) decodeAt(i);
}

void Machine::decodeAt(uint32_t index) {
  const uint32_t count = static_cast<uint32_t>(threaded_.size());
  const fast::Code code = threadedCode(code_, index, count, data_.size());
  const Instruction& in = code_[index];
  threaded_[index] = {handlers_ ? handlers_[code] : nullptr, in.a, code,
                      static_cast<uint16_t>(in.b)};
}

void Machine::redecode(uint32_t index) {
  decodeAt(index);
  if (index > 0) decodeAt(index - 1);
}

int Machine::run() {
  start();
  resume(nullptr, options_.steps);
  return status();
}

void Machine::start() {
  remaining_ = options_.steps;
  reserve_ = 0;
  pc_ = enter(program_.mainEntry, program_.halt());
}

Pause Machine::resume(Supervisor* supervisor, uint64_t window) {
  const uint64_t total = remaining_ + reserve_;
  remaining_ = window < total ? window : total;
  reserve_ = total - remaining_;
  Pause pause;
  if (options_.trace) {
    pause = supervisor ? loop<true, true>(supervisor) : loop<true, false>(nullptr);
  } else {
    pause = supervisor ? loop<false, true>(supervisor) : runFast();
  }
  remaining_ += reserve_;
  reserve_ = 0;
  return pause;
}

int Machine::status() const {
  if (exitStatus_) return *exitStatus_;
  if (stack_.empty()) return 0;
  return static_cast<int>(stack_.peekScalar() & 0xFF);
}

void Machine::setTrap(uint32_t index, bool on) {
  if (patched_.empty()) {
    patched_ = program_.code;
    code_ = patched_.data();
  }
  patched_.at(index).op = on ? Op::trap : program_.code[index].op;
  redecode(index);
}

void Machine::stepOverTrap() {
  const uint32_t at = pc_;
  patched_[at].op = program_.code[at].op;
  redecode(at);
  try {
    resume(nullptr, 1);
  } catch (...) {
    patched_[at].op = Op::trap;
    redecode(at);
    throw;
  }
  patched_[at].op = Op::trap;
  redecode(at);
}

void Machine::save(State& state) const {
  state.pc = pc_;
  state.remaining = remaining_;
  state.reserve = reserve_;
  state.exitStatus = exitStatus_;
  state.data = data_;
  stack_.save(state.stack);
  state.frames = frames_;
  state.active = active_;
  state.recursionWarned = recursionWarned_;
  state.readWarned = readWarned_;
  state.script = script_;
}

void Machine::restore(const State& state) {
  pc_ = state.pc;
  remaining_ = state.remaining;
  reserve_ = state.reserve;
  exitStatus_ = state.exitStatus;
  data_ = state.data;
  stack_.restore(state.stack);
  frames_ = state.frames;
  active_ = state.active;
  recursionWarned_ = state.recursionWarned;
  readWarned_ = state.readWarned;
  script_ = state.script;
}

void Machine::fail(const std::string& message) const {
  throw RunError(describePosition(program_, pc_) + ": " + message);
}

void Machine::warn(const std::string& message) {
  io_.err << printable(describePosition(program_, pc_) + ": warning: " + message) << '\n';
}

int64_t Machine::pop() {
  int64_t v;
  if (!stack_.pop(v)) fail("pop of an empty value stack");
  return v;
}

void Machine::push(int64_t v, uint32_t w) {
  if (!stack_.push(v, w)) fail("value stack overflow (more than 1 MiB of entries)");
}

bool Machine::popTruth() {
  if (stack_.empty()) fail("pop of an empty value stack");
  uint32_t w = stack_.topWidth();
  if (w <= 8) return pop() != 0;
  chargeMove(w);
  popBytes(w);
  for (uint32_t i = 0; i < w; ++i) {
    if (scratch_[i] != 0) return true;
  }
  return false;
}

void Machine::divisionByZero() const {
  fail("division by zero");
}

template <uint32_t W>
inline int64_t Machine::load(uint32_t address) {
  if (!inData(address, W)) {
    loadOutside(address, W);
    return 0;
  }
  int64_t v = 0;
  std::memcpy(&v, data_.data() + (address - kDataBase), W);
  return narrow<W>(v);
}

template <uint32_t W>
inline void Machine::store(uint32_t address, int64_t v) {
  if (!inData(address, W)) storeOutside(address, W);
  std::memcpy(data_.data() + (address - kDataBase), &v, W);
}

void Machine::checkNotCode(uint32_t address, uint32_t width, const char* what) const {
  const uint64_t first = address;
  const uint64_t last = first + width;  // one past
  const uint64_t codeEnd = uint64_t{kCodeBase} + program_.code.size();
  const uint64_t hostEnd = uint64_t{kHostBase} + program_.hosts.size();
  if ((first < codeEnd && last > kCodeBase) || (first < hostEnd && last > kHostBase)) {
    fail(std::string(what) + " of " + std::to_string(width) + " bytes at " + hex(address) +
         ", an address of code");
  }
}

void Machine::loadOutside(uint32_t address, uint32_t width) {
  checkNotCode(address, width, "read");
  const Position& p = program_.positions[pc_];
  const uint64_t key =
      p.file != 0 ? (uint64_t{p.file} << 32 | p.line) : (uint64_t{1} << 63 | p.codeLine);
  if (readWarned_.insert(key).second) {
    warn("read of " + std::to_string(width) + " bytes at " + hex(address) +
         " outside the data gives 0");
  }
}

void Machine::storeOutside(uint32_t address, uint32_t width) const {
  checkNotCode(address, width, "write");
  fail("write of " + std::to_string(width) + " bytes at " + hex(address) + " outside the data");
}

void Machine::popBytes(uint32_t n) {
  if (scratch_.size() < n) scratch_.resize(n);
  if (!stack_.popBytes(n, scratch_.data())) fail("pop of an empty value stack");
}

void Machine::pushBytes(uint32_t n) {
  if (!stack_.pushBytes(n, scratch_.data()))
    fail("value stack overflow (more than 1 MiB of entries)");
}

// A move of a structure-size entry counts toward the step budget one step
// per kBytesPerStep bytes begun (the instruction's own step is the first), so
// the budget bounds the work of a run and not only its instruction count.
void Machine::chargeMove(uint32_t width) {
  const uint64_t extra = (width - 1) / kBytesPerStep;
  if (extra > remaining_) {
    const uint64_t borrowed = extra - remaining_;
    if (borrowed > reserve_) {
      remaining_ = reserve_ = 0;
      stepLimit();
    }
    reserve_ -= borrowed;
    remaining_ += borrowed;
  }
  remaining_ -= extra;
}

void Machine::stepLimit() const {
  fail("step limit reached after " + std::to_string(options_.steps) + " instructions");
}

void Machine::peekBytes(uint32_t width) {
  chargeMove(width);
  const uint32_t address = static_cast<uint32_t>(pop());
  if (scratch_.size() < width) scratch_.resize(width);
  if (inData(address, width)) {
    std::memcpy(scratch_.data(), data_.data() + (address - kDataBase), width);
  } else {
    loadOutside(address, width);
    std::memset(scratch_.data(), 0, width);
  }
  pushBytes(width);
}

void Machine::pokeBytes(uint32_t width) {
  chargeMove(width);
  const uint32_t address = static_cast<uint32_t>(pop());
  popBytes(width);
  if (!inData(address, width)) storeOutside(address, width);
  std::memcpy(data_.data() + (address - kDataBase), scratch_.data(), width);
}

void Machine::dupBytes(uint32_t width) {
  chargeMove(width);
  popBytes(width);
  pushBytes(width);
  pushBytes(width);
}

// Bytes up to the first 0; a read outside the data gives that 0.
void Machine::printString(uint32_t address) {
  for (;; ++address) {
    const int64_t c = load<1>(address);
    if (c == 0) return;
    io_.out.put(static_cast<char>(c));
  }
}

std::optional<std::vector<uint8_t>> Machine::readBytes(uint32_t address, uint32_t size) const {
  if (!inData(address, size)) return std::nullopt;
  const uint8_t* first = data_.data() + (address - kDataBase);
  return std::vector<uint8_t>(first, first + size);
}

std::optional<int64_t> Machine::readData(uint32_t address, uint32_t width) const {
  if (width > 8 || !inData(address, width)) return std::nullopt;
  int64_t v = 0;
  std::memcpy(&v, data_.data() + (address - kDataBase), width);
  return narrowTo(width, v);
}

uint32_t Machine::call(uint32_t address) {
  if (address >= kCodeBase && address - kCodeBase <= program_.pastEnd()) {
    return enter(address - kCodeBase, pc_ + 1);
  }
  if (address >= kHostBase && address - kHostBase < program_.hosts.size()) {
    callHost(address - kHostBase);
    return exitStatus_ ? program_.halt() : pc_ + 1;
  }
  if (address == 0) fail("call of address 0 (a function value that was never set)");
  fail("call of " + hex(address) +
       (inData(address, 1) ? ", a data address" : ", which is no function"));
}

uint32_t Machine::enter(uint32_t index, uint32_t returnTo) {
  if (frames_.size() >= kMaxCalls) fail("return stack overflow (more than 10000 calls)");
  const uint32_t function = program_.functionAt[index];
  frames_.push_back({returnTo, function});
  if (function != 0 && active_[function - 1]++ > 0 && !recursionWarned_[function - 1]) {
    recursionWarned_[function - 1] = true;
    warn(program_.functions[function - 1].name +
         " is called again before it returns: its locals are shared by every activation");
  }
  return index;
}

uint32_t Machine::leave() {
  if (frames_.empty()) fail("return without a call");
  const Frame frame = frames_.back();
  frames_.pop_back();
  if (frame.function != 0) --active_[frame.function - 1];
  return frame.returnTo;
}

#define STACKVM_BINARY(NAME, W, EXPR)   \
  case Op::NAME##W: {                   \
    const int64_t b = narrow<W>(pop()); \
    const int64_t a = narrow<W>(pop()); \
    push(narrow<W>(EXPR), W);           \
    break;                              \
  }

#define STACKVM_DIVISION(NAME, W, FN)   \
  case Op::NAME##W: {                   \
    const int64_t b = narrow<W>(pop()); \
    const int64_t a = narrow<W>(pop()); \
    if (b == 0) divisionByZero();       \
    push(narrow<W>(FN(a, b)), W);       \
    break;                              \
  }

#define STACKVM_AT_WIDTH(W)                                             \
  STACKVM_TWO_OPERAND_INSTRUCTIONS(STACKVM_BINARY, STACKVM_DIVISION, W) \
  case Op::logic_not##W:                                                \
    push(narrow<W>(pop()) == 0, W);                                     \
    break;                                                              \
  case Op::peek##W:                                                     \
    push(load<W>(static_cast<uint32_t>(pop())), W);                     \
    break;                                                              \
  case Op::poke##W: {                                                   \
    const uint32_t address = static_cast<uint32_t>(pop());              \
    store<W>(address, narrow<W>(pop()));                                \
    break;                                                              \
  }                                                                     \
  case Op::dup##W: {                                                    \
    const int64_t v = narrow<W>(pop());                                 \
    push(v, W);                                                         \
    push(v, W);                                                         \
    break;                                                              \
  }

// The supervised loop asks before every instruction; the others stop only at
// the end, a trap or the end of their window, so a run without a debugger (or
// with breakpoints only) pays nothing for them. A run with neither trace nor
// supervisor takes the fast loop (fast_loop.cpp), which comes here for what
// it does not do itself.
template <bool kTrace, bool kSupervised>
Pause Machine::loop(Supervisor* supervisor) {
  for (;;) {
    if constexpr (kSupervised) {
      if (code_[pc_].op != Op::halt && supervisor->stopBefore(*this)) return Pause::watched;
    }
    Pause pause;
    if (step<kTrace>(pause)) return pause;
  }
}

template <bool kTrace>
bool Machine::step(Pause& pause) {
  const Instruction& in = code_[pc_];
  if (remaining_ == 0) {
    pause = in.op == Op::halt ? Pause::finished : Pause::window;
    if (in.op == Op::halt || reserve_ > 0) return true;
    stepLimit();
  }
  --remaining_;
  uint32_t next = pc_ + 1;
  switch (in.op) {
    STACKVM_AT_WIDTH(1)
    STACKVM_AT_WIDTH(4)
    STACKVM_AT_WIDTH(8)
    case Op::push:
      push(static_cast<int32_t>(in.a), 4);
      break;
    case Op::peekN:
      peekBytes(in.a);
      break;
    case Op::pokeN:
      pokeBytes(in.a);
      break;
    case Op::dupN:
      dupBytes(in.a);
      break;
    case Op::drop:
      pop();
      break;
    case Op::nop:
      break;
    case Op::change_size:
      push(narrowTo(in.b, narrowTo(in.a, pop())), in.b);
      break;
    case Op::jump:
      next = in.a;
      break;
    case Op::jump_true:
      if (popTruth()) next = in.a;
      break;
    case Op::jump_false:
      if (!popTruth()) next = in.a;
      break;
    case Op::gosub:
      next = call(static_cast<uint32_t>(pop()));
      break;
    case Op::ret:
      next = leave();
      break;
    case Op::past_end:
      fail("the code runs past its last instruction");
    case Op::halt:
      ++remaining_;
      pause = Pause::finished;
      return true;
    case Op::trap:
      ++remaining_;
      pause = Pause::trap;
      return true;
  }
  if constexpr (kTrace) traceStep();
  pc_ = next;
  return false;
}

template Pause Machine::loop<true, true>(Supervisor*);
template Pause Machine::loop<true, false>(Supervisor*);
template Pause Machine::loop<false, true>(Supervisor*);
template bool Machine::step<false>(Pause&);

}  // namespace stackvm
