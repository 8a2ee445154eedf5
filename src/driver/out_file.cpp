#include "driver/out_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "driver/fixed_text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace stackcc {

namespace {

constexpr std::size_t kStreamBuffer = 1 << 16;

}  // namespace

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

bool InFile::Open(const std::string& path) {
  Close();
  fd_ = ::open(path.c_str(), O_RDONLY);
  consumed_ = 0;
  drained_ = false;
  rawPos_ = rawEnd_ = 0;
  if (fd_ < 0) return false;
  if (!raw_) raw_.reset(new char[kStreamBuffer]);
  return true;
}

std::size_t InFile::ReadRaw(char* dest, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    ssize_t r = ::pread(fd_, dest + got, n - got, static_cast<off_t>(consumed_ + got));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    got += static_cast<std::size_t>(r);
  }
  consumed_ += got;
  return got;
}

bool InFile::Refill() {
  if (drained_) return false;
  std::size_t keep = rawEnd_ - rawPos_;
  if (keep > 0) std::memmove(raw_.get(), raw_.get() + rawPos_, keep);
  rawPos_ = 0;
  rawEnd_ = keep;
  std::size_t got = ReadRaw(raw_.get() + keep, kStreamBuffer - keep);
  rawEnd_ += got;
  if (got == 0) drained_ = true;
  return got > 0;
}

int InFile::Fold(char* dest, int count, int n) {
  const char* src = raw_.get();
  std::size_t r = rawPos_;
  std::size_t end = rawEnd_;
  int w = count;
  while (r < end && w < n) {
#if defined(__SSE2__)
    // Sixteen bytes at a time while both sides have room: a block without CR
    // is stored whole; of one with a CR, the bytes before it count.
    if (r + 16 <= end && w + 16 <= n) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + r));
      unsigned mask =
          static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r'))));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + w), v);
      int take = mask == 0 ? 16 : __builtin_ctz(mask);
      r += static_cast<std::size_t>(take);
      w += take;
      if (mask == 0) continue;
    }
#endif
    char ch = src[r];
    if (ch == '\r') {
      if (r + 1 == end) break;  // its LF may come with the next read
      if (src[r + 1] == '\n') {
        ++r;  // the LF that follows is kept
        continue;
      }
    }
    dest[w++] = ch;
    ++r;
  }
  rawPos_ = r;
  return w;
}

int InFile::Read(char* dest, int n) {
  if (fd_ < 0) return 0;
  int count = 0;
  while (count < n) {
    if (rawEnd_ - rawPos_ < 2 && !Refill() && rawPos_ == rawEnd_) break;
    int before = count;
    count = Fold(dest, count, n);
    if (count == before && rawEnd_ - rawPos_ == 1 && drained_) {
      dest[count++] = '\r';  // a CR that ends the file is kept
      ++rawPos_;
    }
  }
  return count;
}

void InFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  drained_ = false;
  rawPos_ = rawEnd_ = 0;
}

}  // namespace stackcc
