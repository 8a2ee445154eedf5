// Buffered binary output file. Every line the compiler writes carries its own
// CR LF, so nothing is translated on the way out.
//
// A regular file is written whole or not at all: the bytes go to a temporary
// file beside it, which takes the file's name only when it is closed after
// every write succeeded. A run that is killed or fails half way so leaves
// either the last run's file or this run's whole file, never the new first
// part joined to the old tail. A device or pipe is written directly.
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

  // Creates the file at the host path anew or, with append, continues it; the
  // new contents replace the file when it is closed.
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
  // Writes what is buffered, closes, and puts the new contents in place; false
  // when a write failed (the file then keeps what it held before the run).
  bool Close();
  // Closes without putting anything in place: the file keeps what it held.
  void Discard();

 private:
  static constexpr std::size_t kBufferSize = std::size_t{1} << 16;
  bool OpenTemporary(const std::string& target, bool append);
  bool CopyExisting(const std::string& target);
  bool WriteSlow(std::string_view bytes);
  bool Flush();
  bool WriteOut(const char* p, std::size_t n);
  bool Finish();

  int fd_ = -1;
  bool writable_ = false;
  bool failed_ = false;
  std::size_t used_ = 0;
  std::unique_ptr<char[]> buffer_;
  std::string path_;
  std::string target_;     // the file the temporary one replaces at close
  std::string temporary_;  // empty when the file is written directly
};

}  // namespace stackcc
