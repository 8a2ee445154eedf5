// libFuzzer target for stackvm: the input is split at 0xFF bytes into the
// code file, the three data files and a Sys10.c; the program is loaded and,
// when it loads, run with a small step limit. Every outcome must be a load or
// run-time error with a position, or an ordinary end.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "vm/errors.h"
#include "vm/loader.h"
#include "vm/machine.h"

namespace {

std::string part(const uint8_t*& data, size_t& size) {
  const uint8_t* end = data;
  while (end < data + size && *end != 0xFF) ++end;
  std::string text(reinterpret_cast<const char*>(data), static_cast<size_t>(end - data));
  size_t used = static_cast<size_t>(end - data) + (end < data + size ? 1 : 0);
  data += used;
  size -= used;
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  stackvm::CodeFiles files;
  files.base = "f";
  for (std::string& text : files.texts) text = part(data, size);
  std::string sys10 = part(data, size);
  std::string included = part(data, size);
  stackvm::FileReader reader = [&](const std::string& path) -> std::optional<std::string> {
    if (path == "inc.h") return included;
    return std::nullopt;
  };
  std::ostringstream warnings;
  try {
    stackvm::Prototypes prototypes = stackvm::readPrototypes(sys10, "Sys10.c", "", reader);
    stackvm::Program program = stackvm::loadProgram(files, prototypes, warnings);
    std::istringstream in("12 -7 abc");
    std::ostringstream out;
    stackvm::RunOptions options;
    options.steps = 20000;
    options.trace = size % 2 == 1;
    stackvm::DeviceScript script = stackvm::DeviceScript::parse("sensor 5\nsensor 0x7\n", "s");
    stackvm::Machine machine(program, script, options, {in, out, warnings});
    machine.run();
  } catch (const stackvm::VmError& e) {
    const std::string message = e.what();
    if (message.find(':') == std::string::npos) __builtin_trap();  // every error has a position
  }
  return 0;
}
