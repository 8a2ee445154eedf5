// Runs stackvm on files held in memory: the code and data files of a program
// named "t", its Sys10.c (the built-ins' header by default) and a script.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace stackvm::testing {

struct Files {
  std::string code;  // t.001 (lines joined with CR LF by lines())
  std::string data2, data3, data4;
  std::string sys10 = "#include \"stackvm.h\"\r\n";
  std::map<std::string, std::string> extra;  // further files by path
  std::vector<std::string> missing;          // files that cannot be read
};

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Joins lines with CR LF, as the compiler writes them.
std::string lines(const std::vector<std::string>& text);

// Code of main around the given body, returning what the body leaves.
std::string mainWith(const std::vector<std::string>& body);

Outcome runFiles(const Files& files, const std::vector<std::string>& options = {},
                 const std::string& input = "");

// Runs a main whose body leaves one value on the stack and prints it with
// print_long (which pops it at 8 bytes, sign-extending narrower entries).
Outcome runValue(const std::vector<std::string>& body, const std::string& data = "");

}  // namespace stackvm::testing
