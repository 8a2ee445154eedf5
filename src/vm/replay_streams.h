// The program's input and output under the debugger. A run that goes back
// re-executes from a snapshot, so the input keeps every byte it has read (a
// re-execution reads the same bytes again) and the output lets through only
// what goes beyond what was written before (nothing is written twice).
#pragma once

#include <istream>
#include <ostream>
#include <streambuf>
#include <string>

namespace stackvm {

class ReplayInput : public std::streambuf {
 public:
  explicit ReplayInput(std::istream& source) : source_(source) { setg(nullptr, nullptr, nullptr); }

  size_t position() const { return static_cast<size_t>(gptr() - eback()); }
  void seek(size_t position);
  // From now on the input is these bytes and nothing of the source.
  void replace(std::string bytes);

 protected:
  int_type underflow() override;

 private:
  std::istream& source_;
  bool fromSource_ = true;
  std::string seen_;
};

class ReplayOutput : public std::streambuf {
 public:
  explicit ReplayOutput(std::ostream& sink) : sink_(sink) {}

  size_t position() const { return written_; }
  // Back to a point of the run: the bytes up to the furthest point reached
  // are not written again.
  void seek(size_t position) { written_ = position; }
  // A new run: everything it writes is new.
  void reset() { written_ = emitted_ = 0; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  std::ostream& sink_;
  size_t written_ = 0;  // bytes the run has produced up to now
  size_t emitted_ = 0;  // bytes that reached the sink
};

}  // namespace stackvm
