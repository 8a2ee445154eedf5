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

// Folds CR LF pairs into their LF sixteen bytes at a time, reading at r and
// writing at w (never past r). A block without CR is stored whole, after it
// was loaded and taken whole; of a block with one, only the bytes before the
// CR move. Stops short of the last sixteen bytes, and at a CR that ends the
// bytes read (whose LF may still come); gives the reading position, w the
// writing one.
int FoldBlocks(char* dest, int r, int end, int& w) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  while (r + 16 <= end) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + r));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
    if (mask == 0) {  // the whole block is taken: it may be stored whole
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + w), v);
      r += 16;
      w += 16;
      continue;
    }
    // Only the bytes before the CR are taken; the rest is read again.
    int p = __builtin_ctz(mask);
    CopyBytes(dest + w, dest + r, static_cast<std::size_t>(p));
    r += p;
    w += p;
    if (r + 1 >= end) break;
    if (dest[r + 1] != '\n') dest[w++] = '\r';  // a CR without LF is kept
    ++r;
  }
#else
  (void)dest;
  (void)end;
  (void)w;
#endif
  return r;
}

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

void OutFile::Hold() {
  Close();
  if (!buffer_) buffer_.reset(new char[kBufferSize]);
  writable_ = true;
  holding_ = true;
  used_ = 0;
  failed_ = false;
}

bool OutFile::Release(const std::string& path, bool append) {
  if (!holding_) return false;
  // The part-filled buffer joins the kept ones; Open gives a fresh buffer.
  if (used_ > 0) KeepBuffer(used_);
  auto kept = std::move(held_);
  std::size_t keptBytes = heldBytes_;
  holding_ = false;
  writable_ = false;
  used_ = 0;
  bool opened = Open(path, append);
  held_ = std::move(kept);  // Open leaves them alone; Close drops them
  heldBytes_ = keptBytes;
  return opened;
}

bool OutFile::WriteKept() {
  auto kept = std::move(held_);
  DropKept();
  bool ok = true;
  for (const HeldBlock& block : kept)
    ok = Write(std::string_view(block.bytes.get(), block.size)) && ok;
  return ok;
}

void OutFile::KeepBuffer(std::size_t n) {
  held_.push_back({std::move(buffer_), n});
  heldBytes_ += n;
}

void OutFile::DropKept() {
  held_.clear();
  held_.shrink_to_fit();
  heldBytes_ = 0;
}

bool OutFile::WriteOut(const char* p, std::size_t left) {
  if (holding_) {
    KeepBuffer(left);
    buffer_.reset(new char[kBufferSize]);
    return true;
  }
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
  if (observer_ != nullptr) observer_->Written(written_);
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
  if (holding_) {
    holding_ = false;
    writable_ = false;
    used_ = 0;
    DropKept();
    return true;
  }
  DropKept();
  if (fd_ < 0) return true;
  bool ok = Flush();
  if (cutAtClose_ && ::ftruncate(fd_, static_cast<off_t>(written_)) != 0) ok = false;
  if (::close(fd_) != 0) ok = false;
  fd_ = -1;
  writable_ = false;
  observer_ = nullptr;
  return ok;
}

bool InFile::Open(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "rb");
  pending_ = -1;
  consumed_ = 0;
  if (file_ == nullptr) return false;
  if (!buffer_) buffer_.reset(new char[kStreamBuffer]);
  std::setvbuf(file_, buffer_.get(), _IOFBF, kStreamBuffer);
  return true;
}

std::size_t InFile::ReadRaw(char* dest, std::size_t n) {
  if (growing_ == nullptr) {
    std::size_t got = std::fread(dest, 1, n, file_);
    consumed_ += got;
    return got;
  }
  // A followed file is read exactly as far as it is written: beyond that it
  // may still hold bytes of an earlier run.
  std::size_t ready = growing_->AwaitBytes(consumed_ + n);
  if (ready < consumed_ + n) n = ready > consumed_ ? ready - consumed_ : 0;
  std::size_t got = 0;
  while (got < n) {
    ssize_t r = ::pread(fileno(file_), dest + got, n - got, static_cast<off_t>(consumed_ + got));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    got += static_cast<std::size_t>(r);
  }
  consumed_ += got;
  return got;
}

int InFile::ReadByte() {
  char ch;
  return ReadRaw(&ch, 1) == 1 ? static_cast<unsigned char>(ch) : EOF;
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
    got += static_cast<int>(ReadRaw(dest + count + got, static_cast<std::size_t>(want - got)));
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
    int r = FoldBlocks(dest, first, end, w);
    for (; r < end; ++r) {
      char ch = dest[r];
      if (ch == '\r') {
        if (r + 1 < end) {
          if (dest[r + 1] == '\n') continue;  // the LF that follows is kept
        } else {
          int next = ReadByte();
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
  growing_ = nullptr;
  pending_ = -1;
}

}  // namespace stackcc
