// Calls of host routines: the built-ins and the device routines of a script.
#include <istream>
#include <ostream>

#include "vm/builtins.h"
#include "vm/errors.h"
#include "vm/expected_calls.h"
#include "vm/loader.h"
#include "vm/machine.h"

namespace stackvm {

void Machine::callHost(uint32_t id) {
  const HostRoutine& routine = program_.hosts[id];
  std::vector<int64_t> args;
  args.reserve(routine.params.size());
  for (uint32_t width : routine.params) args.push_back(narrowTo(width, pop()));
  int64_t result = 0;
  if (routine.builtin >= 0) {
    result = callBuiltin(routine.builtin, args);
  } else {
    if (options_.trace || options_.traceDevices) traceDevice(routine, args);
    if (options_.devices) {
      result = options_.devices->call(routine, args, describePosition(program_, pc_), script_);
    } else if (routine.result != 0) {
      result = script_.next(routine.name);
    }
  }
  if (routine.result != 0) push(narrowTo(routine.result, result), routine.result);
}

int64_t Machine::callBuiltin(int builtin, const std::vector<int64_t>& args) {
  switch (static_cast<Builtin>(builtin)) {
    case Builtin::print_int:
    case Builtin::print_long:
      io_.out << args[0];
      break;
    case Builtin::print_char:
      io_.out.put(static_cast<char>(args[0]));
      break;
    case Builtin::print_string:
      printString(static_cast<uint32_t>(args[0]));
      break;
    case Builtin::read_int:
      return readInt();
    case Builtin::read_char: {
      int c = io_.in.get();
      return c == std::char_traits<char>::eof() ? -1 : c;
    }
    case Builtin::exit:
      exitStatus_ = static_cast<int>(args[0] & 0xFF);
      break;
  }
  if (io_.out.fail()) fail("the program's output could not be written");
  return 0;
}

// Skips to the next decimal integer with an optional sign; its value modulo
// 2^32, or 0 at the end of the input.
int64_t Machine::readInt() {
  using Traits = std::char_traits<char>;
  bool negative = false;
  int c = io_.in.get();
  for (;; c = io_.in.get()) {
    if (c == Traits::eof()) return 0;
    if (c >= '0' && c <= '9') break;
    if ((c == '-' || c == '+') && io_.in.peek() >= '0' && io_.in.peek() <= '9') {
      negative = c == '-';
      c = io_.in.get();
      break;
    }
  }
  uint32_t v = 0;
  for (; c >= '0' && c <= '9'; c = io_.in.get()) v = v * 10 + static_cast<uint32_t>(c - '0');
  if (c != Traits::eof()) io_.in.unget();
  if (negative) v = 0 - v;
  return static_cast<int32_t>(v);
}

}  // namespace stackvm
