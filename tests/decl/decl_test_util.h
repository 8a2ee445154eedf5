// Helpers for the declaration tests: reports read back from the console, and a
// compiler whose section, listing and header files live in a temporary directory.
#pragma once

#include <string>
#include <string_view>

#include "test_support.h"

namespace stackcc::testing {

// How many error reports the console shows.
inline int ReportCount(const std::string& console) {
  int n = 0;
  for (std::size_t p = console.find("ERROR in LINE:"); p != std::string::npos;
       p = console.find("ERROR in LINE:", p + 1)) {
    ++n;
  }
  return n;
}

// True when the console shows a report with this message and auxiliary text.
inline bool Reported(const std::string& console, std::string_view message,
                     std::string_view aux = {}) {
  std::string want = " Error message: " + std::string(message) +
                     "\r\n Auxiliar error data: " + std::string(aux) + "\r\n";
  return console.find(want) != std::string::npos;
}

// A compiler with its output files open in a fresh directory.
class FileCompiler : public TestCompiler {
 public:
  FileCompiler() : dir_(MakeTempDir()) {
    Compiler& k = c();
    k.out.section2.Open(dir_ + "p.002", false);
    k.out.section3.Open(dir_ + "p.003", false);
    k.out.section4.Open(dir_ + "p.004", false);
    k.out.listing.Open(dir_ + "p.lst", false);
    k.out.header.Open(dir_ + "p.h", false);
  }
  // The content of one output file ("002", "003", "004", "lst", "h"); closes all.
  std::string File(std::string_view ext) {
    Compiler& k = c();
    k.out.section2.Close();
    k.out.section3.Close();
    k.out.section4.Close();
    k.out.listing.Close();
    k.out.header.Close();
    return ReadFile(dir_ + "p." + std::string(ext));
  }

 private:
  std::string dir_;
};

}  // namespace stackcc::testing
