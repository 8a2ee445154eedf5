// Buffered binary output file. Every line the compiler writes carries its own
// CR LF, so nothing is translated on the way out.
#pragma once

#include <cstdio>
#include <cstring>
#include <memory>
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
  // Writes the bytes; false when the file is not open or a write failed.
  bool Write(std::string_view bytes) {
    if (bytes.empty()) return fd_ >= 0;  // an empty view may carry no pointer
    if (bytes.size() <= kBufferSize - used_ && fd_ >= 0) {
      std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
      used_ += bytes.size();
      return true;
    }
    return WriteSlow(bytes);
  }
  bool IsOpen() const { return fd_ >= 0; }
  // Writes what is buffered and closes; false when a write failed.
  bool Close();

 private:
  static constexpr std::size_t kBufferSize = std::size_t{1} << 16;
  bool WriteSlow(std::string_view bytes);
  bool Flush();

  int fd_ = -1;
  bool failed_ = false;
  std::size_t used_ = 0;
  std::unique_ptr<char[]> buffer_;
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
  // The stream's buffer: the C library would otherwise read in blocks of 4 KB.
  std::unique_ptr<char[]> buffer_;
};

}  // namespace stackcc
