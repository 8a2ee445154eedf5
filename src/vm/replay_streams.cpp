#include "vm/replay_streams.h"

namespace stackvm {

void ReplayInput::seek(size_t position) {
  char* base = seen_.data();
  setg(base, base + position, base + seen_.size());
}

void ReplayInput::replace(std::string bytes) {
  seen_ = std::move(bytes);
  fromSource_ = false;
  seek(0);
}

ReplayInput::int_type ReplayInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (!fromSource_) return traits_type::eof();
  const size_t at = position();
  const int c = source_.get();
  if (c == std::char_traits<char>::eof()) return traits_type::eof();
  seen_.push_back(static_cast<char>(c));
  char* base = seen_.data();
  setg(base, base + at, base + seen_.size());
  return traits_type::to_int_type(*gptr());
}

ReplayOutput::int_type ReplayOutput::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char byte = traits_type::to_char_type(c);
  return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

std::streamsize ReplayOutput::xsputn(const char* s, std::streamsize n) {
  const size_t count = static_cast<size_t>(n);
  if (written_ + count > emitted_) {
    const size_t skip = emitted_ > written_ ? emitted_ - written_ : 0;
    sink_.write(s + skip, static_cast<std::streamsize>(count - skip));
    if (!sink_) return 0;
    emitted_ = written_ + count;
  }
  written_ += count;
  return n;
}

int ReplayOutput::sync() {
  sink_.flush();
  return sink_ ? 0 : -1;
}

}  // namespace stackvm
