// Buffered binary output file. Every line the compiler writes carries its own
// CR LF, so nothing is translated on the way out.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace stackcc {

class OutFile {
 public:
  OutFile() = default;
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;
  ~OutFile() { Close(); }

  // Creates (emptying) or, with append, opens the file at the host path.
  bool Open(const std::string& path, bool append);
  // Writes the bytes; false when the stream is not open or the write failed.
  bool Write(std::string_view bytes);
  bool IsOpen() const { return file_ != nullptr; }
  void Close();

 private:
  std::FILE* file_ = nullptr;
};

// Input file read as text: each CR LF pair arrives as a single LF, whatever the
// platform's own text mode does.
class InFile {
 public:
  InFile() = default;
  InFile(const InFile&) = delete;
  InFile& operator=(const InFile&) = delete;
  ~InFile() { Close(); }

  bool Open(const std::string& path);
  // Reads up to n bytes after line-end folding; returns how many were stored.
  int Read(char* dest, int n);
  bool IsOpen() const { return file_ != nullptr; }
  void Close();

 private:
  std::FILE* file_ = nullptr;
  int pending_ = -1;  // a byte read ahead while looking for the LF after a CR
};

}  // namespace stackcc
