// The fast loop: a run with neither trace nor supervisor, on the threaded
// code. The program counter, the top of the value stack, the room left on it
// and the steps left are locals; each handler runs the common case of its
// instruction and leaves every other case (an entry wider than 8 bytes, an
// empty or full stack, an address outside the data, a division by zero, the
// last step of a window, a host routine) to Machine::step, which runs the
// instruction as the other loops do. So positions, messages and the step
// count are theirs. With GCC's labels as values each instruction holds the
// address of its handler (direct threading); elsewhere, or with
// STACKVM_PORTABLE_DISPATCH defined, a switch on its code dispatches.
#include <cstring>
#include <iterator>

#include "vm/arithmetic.h"
#include "vm/machine.h"

#if defined(__GNUC__) && !defined(STACKVM_PORTABLE_DISPATCH)
#define STACKVM_THREADED 1
#else
#define STACKVM_THREADED 0
#endif

namespace stackvm {

namespace {

using Slot = ValueStack::Slot;

constexpr int64_t kStackRoom = kStackBytes;
// The steps a stretch of the loop counts in a signed local; a budget beyond
// it is counted in stretches.
constexpr uint64_t kStretch = INT64_MAX;

}  // namespace

#if STACKVM_THREADED
#define STACKVM_HANDLER(name) op_##name:
#define STACKVM_DISPATCH() goto * pc->handler
#else
#define STACKVM_HANDLER(name) case fast::name:
#define STACKVM_DISPATCH() goto dispatch
#endif

// The operands of a handler are read before its checks and nothing is
// changed until all of them pass; a failed check leaves the instruction to
// Machine::step.
#define STACKVM_CHECK(failed) \
  if (--left < 0 || (failed)) goto undo

#define STACKVM_FAST_BINARY(NAME, W, EXPR)        \
  STACKVM_HANDLER(NAME##W) {                      \
    const uint32_t wb = sp[-1].w;                 \
    const uint32_t wa = sp[-2].w;                 \
    const int64_t after = room + wa + wb - W;     \
    STACKVM_CHECK(wb > 8 || wa > 8 || after < 0); \
    const int64_t b = narrow<W>(sp[-1].v);        \
    const int64_t a = narrow<W>(sp[-2].v);        \
    --sp;                                         \
    sp[-1] = {narrow<W>(EXPR), W};                \
    room = after;                                 \
    ++pc;                                         \
    STACKVM_DISPATCH();                           \
  }

#define STACKVM_FAST_DIVISION(NAME, W, FN)                  \
  STACKVM_HANDLER(NAME##W) {                                \
    const uint32_t wb = sp[-1].w;                           \
    const uint32_t wa = sp[-2].w;                           \
    const int64_t after = room + wa + wb - W;               \
    const int64_t b = narrow<W>(sp[-1].v);                  \
    STACKVM_CHECK(wb > 8 || wa > 8 || after < 0 || b == 0); \
    const int64_t a = narrow<W>(sp[-2].v);                  \
    --sp;                                                   \
    sp[-1] = {narrow<W>(FN(a, b)), W};                      \
    room = after;                                           \
    ++pc;                                                   \
    STACKVM_DISPATCH();                                     \
  }

#define STACKVM_FAST_AT_WIDTH(W)                                                  \
  STACKVM_TWO_OPERAND_INSTRUCTIONS(STACKVM_FAST_BINARY, STACKVM_FAST_DIVISION, W) \
  STACKVM_HANDLER(logic_not##W) {                                                 \
    const uint32_t w = sp[-1].w;                                                  \
    const int64_t after = room + w - W;                                           \
    STACKVM_CHECK(w > 8 || after < 0);                                            \
    sp[-1] = {narrow<W>(sp[-1].v) == 0, W};                                       \
    room = after;                                                                 \
    ++pc;                                                                         \
    STACKVM_DISPATCH();                                                           \
  }                                                                               \
  STACKVM_HANDLER(peek##W) {                                                      \
    const uint32_t w = sp[-1].w;                                                  \
    const uint32_t offset = static_cast<uint32_t>(sp[-1].v) - kDataBase;          \
    const int64_t after = room + w - W;                                           \
    STACKVM_CHECK(w > 8 || uint64_t{offset} + W > dataBytes || after < 0);        \
    int64_t v = 0;                                                                \
    std::memcpy(&v, data + offset, W);                                            \
    sp[-1] = {narrow<W>(v), W};                                                   \
    room = after;                                                                 \
    ++pc;                                                                         \
    STACKVM_DISPATCH();                                                           \
  }                                                                               \
  STACKVM_HANDLER(poke##W) {                                                      \
    const uint32_t wa = sp[-1].w;                                                 \
    const uint32_t wv = sp[-2].w;                                                 \
    const uint32_t offset = static_cast<uint32_t>(sp[-1].v) - kDataBase;          \
    STACKVM_CHECK(wa > 8 || wv > 8 || uint64_t{offset} + W > dataBytes);          \
    const int64_t v = narrow<W>(sp[-2].v);                                        \
    std::memcpy(data + offset, &v, W);                                            \
    sp -= 2;                                                                      \
    room += wa + wv;                                                              \
    ++pc;                                                                         \
    STACKVM_DISPATCH();                                                           \
  }                                                                               \
  STACKVM_HANDLER(dup##W) {                                                       \
    const uint32_t w = sp[-1].w;                                                  \
    const int64_t after = room + w - 2 * W;                                       \
    STACKVM_CHECK(w > 8 || after < 0);                                            \
    const int64_t v = narrow<W>(sp[-1].v);                                        \
    sp[-1] = {v, W};                                                              \
    sp[0] = {v, W};                                                               \
    ++sp;                                                                         \
    room = after;                                                                 \
    ++pc;                                                                         \
    STACKVM_DISPATCH();                                                           \
  }

// push_parameter of a data address and the peek of it: both steps, and the
// address never reaches the stack. Short of two steps or of room for the
// address, the push runs alone.
#define STACKVM_FAST_PUSH_PEEK(W)                   \
  STACKVM_HANDLER(push_peek##W) {                   \
    left -= 2;                                      \
    if (left < 0 || room < (W > 4 ? W : 4)) {       \
      left += 2;                                    \
      goto push_alone;                              \
    }                                               \
    int64_t v = 0;                                  \
    std::memcpy(&v, data + (pc->a - kDataBase), W); \
    *sp++ = {narrow<W>(v), W};                      \
    room -= W;                                      \
    pc += 2;                                        \
    STACKVM_DISPATCH();                             \
  }

// push_parameter of a data address and the poke to it: the value goes
// straight to the data. Short of two steps, of room for the address or of a
// scalar value below it, the push runs alone.
#define STACKVM_FAST_PUSH_POKE(W)                   \
  STACKVM_HANDLER(push_poke##W) {                   \
    const uint32_t w = sp[-1].w;                    \
    left -= 2;                                      \
    if (left < 0 || room < 4 || w > 8) {            \
      left += 2;                                    \
      goto push_alone;                              \
    }                                               \
    const int64_t v = narrow<W>(sp[-1].v);          \
    std::memcpy(data + (pc->a - kDataBase), &v, W); \
    --sp;                                           \
    room += w;                                      \
    pc += 2;                                        \
    STACKVM_DISPATCH();                             \
  }

Pause Machine::runFast(const void* const** handlers) {
#if STACKVM_THREADED
#define STACKVM_LABEL(name) &&op_##name,
#define STACKVM_LABEL_SIZED(name) \
  STACKVM_LABEL(name##1) STACKVM_LABEL(name##4) STACKVM_LABEL(name##8)
#define STACKVM_LABEL_MOVE(name) STACKVM_LABEL_SIZED(name) STACKVM_LABEL(name##N)
  static const void* const kHandlers[] = {STACKVM_OPS(STACKVM_LABEL_SIZED, STACKVM_LABEL_MOVE,
                                                      STACKVM_LABEL) STACKVM_PAIRS(STACKVM_LABEL)};
#undef STACKVM_LABEL
#undef STACKVM_LABEL_SIZED
#undef STACKVM_LABEL_MOVE
  static_assert(std::size(kHandlers) == fast::kCount, "one handler per code");
  if (handlers) {
    *handlers = kHandlers;
    return Pause::finished;
  }
#else
  if (handlers) {
    *handlers = nullptr;
    return Pause::finished;
  }
#endif
  const Threaded* const code = threaded_.data();
  uint8_t* const data = data_.data();
  const uint64_t dataBytes = data_.size();
  const Threaded* pc;
  Slot* sp;
  int64_t room;
  int64_t left;
  uint64_t outside;  // the steps beyond this stretch's

#define STACKVM_LOAD()                                                        \
  pc = code + pc_;                                                            \
  sp = stack_.top();                                                          \
  room = kStackRoom - static_cast<int64_t>(stack_.bytes());                   \
  left = static_cast<int64_t>(remaining_ < kStretch ? remaining_ : kStretch); \
  outside = remaining_ - static_cast<uint64_t>(left)

  STACKVM_LOAD();
#if STACKVM_THREADED
  STACKVM_DISPATCH();
#else
dispatch:
  switch (pc->code) {
#endif
  STACKVM_FAST_AT_WIDTH(1)
  STACKVM_FAST_AT_WIDTH(4)
  STACKVM_FAST_AT_WIDTH(8)
  STACKVM_FAST_PUSH_PEEK(1)
  STACKVM_FAST_PUSH_PEEK(4)
  STACKVM_FAST_PUSH_PEEK(8)
  STACKVM_FAST_PUSH_POKE(1)
  STACKVM_FAST_PUSH_POKE(4)
  STACKVM_FAST_PUSH_POKE(8)
  STACKVM_HANDLER(push)
push_alone : {
  STACKVM_CHECK(room < 4);
  *sp++ = {static_cast<int32_t>(pc->a), 4};
  room -= 4;
  ++pc;
  STACKVM_DISPATCH();
}
  STACKVM_HANDLER(drop) {
    const uint32_t w = sp[-1].w;
    STACKVM_CHECK(w > 8);
    --sp;
    room += w;
    ++pc;
    STACKVM_DISPATCH();
  }
  STACKVM_HANDLER(nop) {
    STACKVM_CHECK(false);
    ++pc;
    STACKVM_DISPATCH();
  }
  STACKVM_HANDLER(change_size) {
    const uint32_t w = sp[-1].w;
    const uint32_t to = pc->b;
    const int64_t after = room + w - to;
    STACKVM_CHECK(w > 8 || after < 0);
    sp[-1] = {narrowTo(to, narrowTo(pc->a, sp[-1].v)), to};
    room = after;
    ++pc;
    STACKVM_DISPATCH();
  }
  STACKVM_HANDLER(jump) {
    STACKVM_CHECK(false);
    pc = code + pc->a;
    STACKVM_DISPATCH();
  }
  STACKVM_HANDLER(jump_true) {
    const uint32_t w = sp[-1].w;
    STACKVM_CHECK(w > 8);
    const int64_t v = sp[-1].v;
    --sp;
    room += w;
    pc = v != 0 ? code + pc->a : pc + 1;
    STACKVM_DISPATCH();
  }
  STACKVM_HANDLER(jump_false) {
    const uint32_t w = sp[-1].w;
    STACKVM_CHECK(w > 8);
    const int64_t v = sp[-1].v;
    --sp;
    room += w;
    pc = v == 0 ? code + pc->a : pc + 1;
    STACKVM_DISPATCH();
  }
  // A call of code that warns of nothing; a host routine, a call that
  // overflows the return stack or that warns of a repeated activation, and
  // every failure go the common way.
  STACKVM_HANDLER(gosub) {
    const uint32_t w = sp[-1].w;
    const uint32_t target = static_cast<uint32_t>(sp[-1].v) - kCodeBase;
    STACKVM_CHECK(w > 8 || target > program_.pastEnd() || frames_.size() >= kMaxCalls);
    const uint32_t function = program_.functionAt[target];
    if (function != 0 && active_[function - 1] > 0 && !recursionWarned_[function - 1]) goto undo;
    --sp;
    room += w;
    frames_.push_back({static_cast<uint32_t>(pc - code) + 1, function});
    if (function != 0) ++active_[function - 1];
    pc = code + target;
    STACKVM_DISPATCH();
  }
  STACKVM_HANDLER(ret) {
    STACKVM_CHECK(frames_.empty());
    const Frame frame = frames_.back();
    frames_.pop_back();
    if (frame.function != 0) --active_[frame.function - 1];
    pc = code + frame.returnTo;
    STACKVM_DISPATCH();
  }
  STACKVM_HANDLER(peekN)
  STACKVM_HANDLER(pokeN)
  STACKVM_HANDLER(dupN)
  STACKVM_HANDLER(past_end)
  STACKVM_HANDLER(halt)
  STACKVM_HANDLER(trap)
  goto generic;
#if !STACKVM_THREADED
  default:
    goto generic;
}
#endif

undo : ++left;
generic : pc_ = static_cast<uint32_t>(pc - code);
stack_.settle(sp, static_cast<uint64_t>(kStackRoom - room));
remaining_ = outside + static_cast<uint64_t>(left);
{
  Pause pause;
  if (step<false>(pause)) return pause;
}
STACKVM_LOAD();
STACKVM_DISPATCH();
#undef STACKVM_LOAD
}

}  // namespace stackvm
