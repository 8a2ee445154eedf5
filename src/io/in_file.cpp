// A file read as text in blocks, CR LF pairs folded to LF on the way in. Each
// InFile owns its descriptor and its block buffer.
#include "io/in_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace stackcc {

namespace {

constexpr std::size_t kStreamBuffer = 1 << 16;

}  // namespace

bool InFile::Open(const std::string& path) {
  Close();
  fd_ = ::open(path.c_str(), O_RDONLY);
  consumed_ = 0;
  drained_ = false;
  failed_ = false;
  rawPos_ = rawEnd_ = 0;
  if (fd_ < 0) return false;
  struct stat info;
  if (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode)) {
    Close();
    return false;
  }
  if (!raw_) raw_.reset(new char[kStreamBuffer]);
  return true;
}

std::size_t InFile::ReadRaw(char* dest, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    ssize_t r = ::pread(fd_, dest + got, n - got, static_cast<off_t>(consumed_ + got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) failed_ = true;
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
  if (got == 0 || failed_) drained_ = true;
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
