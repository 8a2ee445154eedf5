#include "driver/out_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace stackcc {

namespace {
constexpr std::size_t kStreamBuffer = 1 << 16;
}

bool OutFile::Open(const std::string& path, bool append) {
  Close();
  int flags = O_WRONLY | O_CREAT | (append ? O_APPEND : O_TRUNC);
  fd_ = ::open(path.c_str(), flags, 0666);
  if (fd_ < 0) return false;
  if (!buffer_) buffer_.reset(new char[kBufferSize]);
  used_ = 0;
  failed_ = false;
  return true;
}

bool OutFile::Flush() {
  const char* p = buffer_.get();
  std::size_t left = used_;
  used_ = 0;
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

bool OutFile::WriteSlow(std::string_view bytes) {
  if (fd_ < 0) return false;
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
  if (::close(fd_) != 0) ok = false;
  fd_ = -1;
  return ok;
}

bool InFile::Open(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "rb");
  pending_ = -1;
  if (file_ == nullptr) return false;
  if (!buffer_) buffer_.reset(new char[kStreamBuffer]);
  std::setvbuf(file_, buffer_.get(), _IOFBF, kStreamBuffer);
  return true;
}

int InFile::Read(char* dest, int n) {
  if (file_ == nullptr) return 0;
  int count = 0;
  while (count < n) {
    int want = n - count;
    int got = 0;
    if (pending_ >= 0) {
      dest[count] = static_cast<char>(pending_);
      pending_ = -1;
      got = 1;
    }
    got += static_cast<int>(
        std::fread(dest + count + got, 1, static_cast<std::size_t>(want - got), file_));
    if (got == 0) break;
    // Fold each CR LF pair into its LF, in place, from the first CR on.
    int end = count + got;
    const void* cr = std::memchr(dest + count, '\r', static_cast<std::size_t>(got));
    if (cr == nullptr) {
      count = end;
      if (got < want && std::feof(file_)) break;
      continue;
    }
    int first = static_cast<int>(static_cast<const char*>(cr) - dest);
    int w = first;
    for (int r = first; r < end; ++r) {
      char ch = dest[r];
      if (ch == '\r') {
        if (r + 1 < end) {
          if (dest[r + 1] == '\n') continue;  // the LF that follows is kept
        } else {
          int next = std::getc(file_);
          if (next == '\n') {
            ch = '\n';
          } else if (next != EOF) {
            pending_ = next;
          }
        }
      }
      dest[w++] = ch;
    }
    count = w;
    if (got < want && pending_ < 0 && std::feof(file_)) break;
  }
  return count;
}

void InFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  pending_ = -1;
}

}  // namespace stackcc
