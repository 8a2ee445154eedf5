// The whole stackvm command: options, reading the files, loading, running,
// and the exit status. main() only hands it the process's arguments.
#pragma once

#include <string>
#include <vector>

#include "vm/host_prototypes.h"
#include "vm/machine.h"

namespace stackvm {

struct Options;

// A program loaded as the options name it, with its device script; warnings go
// to `warnings`. Throws LoadError or UsageError.
struct LoadedProgram {
  Program program;
  DeviceScript script;
};
LoadedProgram loadForOptions(const Options& o, const FileReader& reader, std::ostream& warnings);

// args without the program name.
int runCommand(const std::vector<std::string>& args, Streams streams, const FileReader& reader);

// Reads a whole file from disk.
std::optional<std::string> readFile(const std::string& path);

}  // namespace stackvm
