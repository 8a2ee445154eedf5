#include "driver/out_file.h"

#include <cstring>

namespace stackcc {

namespace {
constexpr std::size_t kStreamBuffer = 1 << 16;
}

bool OutFile::Open(const std::string& path, bool append) {
  Close();
  file_ = std::fopen(path.c_str(), append ? "ab" : "wb");
  if (file_ != nullptr) std::setvbuf(file_, nullptr, _IOFBF, kStreamBuffer);
  return file_ != nullptr;
}

bool OutFile::Write(std::string_view bytes) {
  if (file_ == nullptr) return false;
  if (bytes.empty()) return true;
    // One thread writes each stream, so the stream lock is not needed.
#if defined(__GLIBC__)
  return fwrite_unlocked(bytes.data(), 1, bytes.size(), file_) == bytes.size();
#else
  return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
#endif
}

void OutFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool InFile::Open(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "rb");
  pending_ = -1;
  if (file_ != nullptr) std::setvbuf(file_, nullptr, _IOFBF, kStreamBuffer);
  return file_ != nullptr;
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
