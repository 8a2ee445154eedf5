#include "driver/out_file.h"

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
  return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
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

int InFile::NextRaw() {
  if (pending_ >= 0) {
    int b = pending_;
    pending_ = -1;
    return b;
  }
  return std::getc(file_);
}

int InFile::Read(char* dest, int n) {
  if (file_ == nullptr) return 0;
  int count = 0;
  while (count < n) {
    int b = NextRaw();
    if (b == EOF) break;
    if (b == '\r') {
      int next = std::getc(file_);
      if (next == '\n') {
        b = '\n';
      } else if (next != EOF) {
        pending_ = next;
      }
    }
    dest[count++] = static_cast<char>(b);
  }
  return count;
}

void InFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  pending_ = -1;
}

}  // namespace stackcc
