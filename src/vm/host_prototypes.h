// The prototypes of Sys10.c (and the files it includes): the parameter and
// result widths of every routine the program may call on the host.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace stackvm {

struct Prototype {
  std::vector<uint32_t> params;  // widths; 0 marks a parameter stackvm cannot pass
  uint32_t result = 0;           // 0 for void
  bool variadic = false;
  std::string where;  // "file:line" of the declaration
};

using Prototypes = std::unordered_map<std::string, Prototype>;

// Reads a file's bytes; nothing when it does not exist. A file that exists but
// cannot be read (a directory, an I/O error) throws LoadError naming it.
using FileReader = std::function<std::optional<std::string>(const std::string& path)>;

// Collects the prototypes of a system file's text. `name` is how positions
// name it, `dir` where its includes are looked for.
Prototypes readPrototypes(const std::string& text, const std::string& name, const std::string& dir,
                          const FileReader& reader);

}  // namespace stackvm
