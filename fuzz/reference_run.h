// Runs the reference stackcc binary on the files of a folder, for the fuzz
// target's old-versus-new comparison.
#pragma once

#include <map>
#include <string>

namespace stackcc_fuzz {

// A folder's files (name to bytes), the inputs left out.
using Files = std::map<std::string, std::string>;

// Every regular file of `dir` (which ends in '/') but the names in `inputs`.
Files ReadOutputs(const std::string& dir, const char* const* inputs, int input_count);

// Removes every regular file of `dir` but the inputs, so that nothing of an
// earlier run is compared.
void RemoveOutputs(const std::string& dir, const char* const* inputs, int input_count);

// Runs `binary` with `argv` (argv[0] included, ending in nullptr) inside `dir`,
// its console output sent to /dev/null. Returns its exit status; a child that
// runs longer than `seconds` is killed and the result is -1, one killed by a
// signal gives -2, one that cannot be started -3.
int RunReference(const std::string& binary, const char* const* argv, const std::string& dir,
                 int seconds);

}  // namespace stackcc_fuzz
