// Input file read as text: each CR LF pair arrives as a single LF, whatever the
// platform's own text mode does.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace stackcc {

class InFile {
 public:
  InFile() = default;
  InFile(const InFile&) = delete;
  InFile& operator=(const InFile&) = delete;
  ~InFile() { Close(); }

  // Opens a regular file (or any file that can be read from the start); a
  // directory is refused, as it cannot be read.
  bool Open(const std::string& path);
  // Reads up to n bytes after line-end folding; returns how many were stored.
  int Read(char* dest, int n);
  bool IsOpen() const { return fd_ >= 0; }
  // A read failed (an I/O error): what Read gave so far is not the whole file.
  bool Failed() const { return failed_; }
  void Close();

 private:
  // Up to n bytes from the file.
  std::size_t ReadRaw(char* dest, std::size_t n);
  // Moves the unread bytes to the front of the raw buffer and reads behind
  // them; false when the file has nothing more.
  bool Refill();
  // Folds raw bytes into dest[count, n) until either runs out, or a CR ends
  // the raw bytes (its LF may be in the next read); gives the new count.
  int Fold(char* dest, int count, int n);

  int fd_ = -1;
  std::size_t consumed_ = 0;  // bytes taken from the file
  bool drained_ = false;      // a read found nothing more
  bool failed_ = false;       // a read ended in an error, not at the file's end
  // The file's bytes as read, not yet folded: [rawPos_, rawEnd_). Folding from
  // here into the caller's buffer never reads bytes it has just written.
  std::unique_ptr<char[]> raw_;
  std::size_t rawPos_ = 0;
  std::size_t rawEnd_ = 0;
};

}  // namespace stackcc
