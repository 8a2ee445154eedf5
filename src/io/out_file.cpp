// A buffered binary output file that remembers whether a write failed. Each
// OutFile owns its descriptor and its buffer.
#include "io/out_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace stackcc {

namespace {

// The file a path names once symbolic links are followed, so that the new
// contents replace the file a link points to rather than the link itself; the
// path itself when it names nothing yet.
std::string ResolvedTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

// True when the path names something that is not a regular file (a device, a
// pipe): such a file is written directly, as there is nothing to replace.
bool IsSpecialFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

}  // namespace

bool OutFile::Open(const std::string& path, bool append) {
  Close();
  path_ = path;
  target_ = ResolvedTarget(path);
  temporary_.clear();
  failed_ = false;
  if (IsSpecialFile(target_)) {
    fd_ = ::open(target_.c_str(), O_WRONLY | (append ? O_APPEND : 0));
  } else if (!OpenTemporary(target_, append)) {
    // A folder that takes no new file: the file is written in place, as a
    // file that cannot be replaced can still be written.
    fd_ = ::open(target_.c_str(), O_WRONLY | O_CREAT | (append ? O_APPEND : O_TRUNC), 0666);
  }
  if (fd_ < 0) return false;
  if (!buffer_) buffer_.reset(new char[kBufferSize]);
  writable_ = true;
  used_ = 0;
  return true;
}

// The temporary file sits in the target's folder (a rename does not cross file
// systems) and carries the process id, so two runs in one folder keep apart.
bool OutFile::OpenTemporary(const std::string& target, bool append) {
  std::string temporary = target + "." + std::to_string(::getpid()) + ".tmp";
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0666);
  if (fd < 0) return false;
  fd_ = fd;
  temporary_ = temporary;
  if (append && !CopyExisting(target)) {
    Discard();
    return false;
  }
  return true;
}

// Appending: the new file starts with what the old one holds.
bool OutFile::CopyExisting(const std::string& target) {
  int in = ::open(target.c_str(), O_RDONLY);
  if (in < 0) return errno == ENOENT;
  char chunk[1 << 14];
  bool ok = true;
  for (;;) {
    ssize_t n = ::read(in, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    if (!WriteOut(chunk, static_cast<std::size_t>(n))) {
      ok = false;
      break;
    }
  }
  ::close(in);
  return ok;
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

// Writes the buffer and closes the descriptor; false when anything failed.
bool OutFile::Finish() {
  bool ok = Flush();
  if (::close(fd_) != 0) ok = false;
  fd_ = -1;
  writable_ = false;
  return ok;
}

bool OutFile::Close() {
  if (fd_ < 0) return true;
  bool ok = Finish();
  if (temporary_.empty()) return ok;
  if (ok && ::rename(temporary_.c_str(), target_.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temporary_.c_str());
  temporary_.clear();
  return ok;
}

void OutFile::Discard() {
  if (fd_ < 0) return;
  used_ = 0;
  Finish();
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

}  // namespace stackcc
