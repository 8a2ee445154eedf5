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
    if (bytes.empty()) return writable_;  // an empty view may carry no pointer
    if (bytes.size() <= kBufferSize - used_ && writable_) {
      std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
      used_ += bytes.size();
      return true;
    }
    return WriteSlow(bytes);
  }
  bool IsOpen() const { return fd_ >= 0; }
  // The host path last opened; kept after Close so a failed close can name it.
  const std::string& Path() const { return path_; }
  // Writes what is buffered and closes; false when a write failed.
  bool Close();

 private:
  static constexpr std::size_t kBufferSize = std::size_t{1} << 16;
  bool WriteSlow(std::string_view bytes);
  // The file is exactly as long as what was written to it.
  bool HasWrittenLength() const;
  bool Flush();
  bool WriteOut(const char* p, std::size_t n);

  int fd_ = -1;
  bool writable_ = false;
  bool failed_ = false;
  bool cutAtClose_ = false;  // written over: cut to the written length at close
  std::size_t used_ = 0;
  std::size_t written_ = 0;
  std::unique_ptr<char[]> buffer_;
  std::string path_;
};

}  // namespace stackcc
