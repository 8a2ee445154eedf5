// A buffered binary output file that remembers whether a write failed. Each
// OutFile owns its descriptor and its buffer.
#include "io/out_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace stackcc {

bool OutFile::Open(const std::string& path, bool append) {
  Close();
  // A file written afresh is not emptied here but written over and cut to its
  // new length when it is closed: emptying a file on open costs the file
  // system a block release (about a millisecond a file on some systems),
  // where writing over blocks of the same size costs nothing.
  int flags = O_WRONLY | O_CREAT | (append ? O_APPEND : 0);
  path_ = path;
  fd_ = ::open(path.c_str(), flags, 0666);
  if (fd_ < 0) return false;
  struct stat st;
  cutAtClose_ = !append && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
  if (!buffer_) buffer_.reset(new char[kBufferSize]);
  writable_ = true;
  used_ = 0;
  written_ = 0;
  failed_ = false;
  return true;
}

bool OutFile::WriteOut(const char* p, std::size_t left) {
  while (left > 0 && !failed_) {
    ssize_t n = ::write(fd_, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed_ = true;
      break;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
    written_ += static_cast<std::size_t>(n);
  }
  return !failed_;
}

bool OutFile::Flush() {
  std::size_t n = used_;
  used_ = 0;
  if (n == 0 || failed_) return !failed_;
  return WriteOut(buffer_.get(), n);
}

bool OutFile::WriteSlow(std::string_view bytes) {
  if (!writable_) return false;
  while (!bytes.empty()) {
    if (used_ == kBufferSize && !Flush()) return false;
    std::size_t n = bytes.size() < kBufferSize - used_ ? bytes.size() : kBufferSize - used_;
    std::memcpy(buffer_.get() + used_, bytes.data(), n);
    used_ += n;
    bytes.remove_prefix(n);
  }
  return !failed_;
}

bool OutFile::Close() {
  if (fd_ < 0) return true;
  bool ok = Flush();
  if (cutAtClose_ && !HasWrittenLength() && ::ftruncate(fd_, static_cast<off_t>(written_)) != 0) {
    ok = false;
  }
  if (::close(fd_) != 0) ok = false;
  fd_ = -1;
  writable_ = false;
  return ok;
}

// A rebuild mostly writes files as long as the last run's: then there is
// nothing to cut, and a cut costs the file system a journal entry (tens of
// microseconds a file on some systems) even when the length stays the same.
bool OutFile::HasWrittenLength() const {
  struct stat st;
  return ::fstat(fd_, &st) == 0 && st.st_size == static_cast<off_t>(written_);
}

}  // namespace stackcc
