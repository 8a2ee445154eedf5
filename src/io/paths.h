// Host paths of the files a run reads and writes. Names as written may use '\'
// or '/' between directories.
#pragma once

#include <string>
#include <string_view>

namespace stackcc {

struct Compiler;

// True for '/' and '\', which both separate directories.
bool IsSeparator(char ch);
// The host path of a name as given: both '\' and '/' separate directories.
std::string HostPath(std::string_view name);
// The host path of a file that lives beside the source (Sys10.c, includes with
// relative names, funct1.txt); absolute names stay as they are.
std::string PathBesideSource(const Compiler& c, std::string_view name);
// The host path of an include file (Sys10.c too): beside the source, or else in
// the first -I folder that holds it; beside the source when none does, so that
// a failure names the usual place.
std::string FindIncludeFile(const Compiler& c, std::string_view name);
// True when the path names an existing regular file (following links).
bool IsRegularFile(const std::string& path);
// The host path of a file derived from the base name (<base>.c, <base>.000, ...).
std::string PathOfDerived(std::string_view derivedName);

}  // namespace stackcc
