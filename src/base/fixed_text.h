// The one bounded text type of the compiler. Every fixed field and buffer of the
// language (names, windows, reader results, the emit buffer) is a FixedText<N>:
// N bytes including the terminator, so at most N - 1 characters. Nothing can be
// written past the capacity; operations that would overflow truncate and return
// false so the caller can report it. Copies move the used length only.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace stackcc {

// Copies n bytes like memmove (the ranges may overlap). Most texts appended
// are a few bytes long (a mnemonic, a number, a line end): those are moved
// with a couple of fixed-size loads, all done before any store, instead of a
// call.
inline void CopyBytes(char* dst, const char* src, std::size_t n) {
  if (n > 16) {
    std::memmove(dst, src, n);
  } else if (n >= 8) {
    std::uint64_t head, tail;
    std::memcpy(&head, src, 8);
    std::memcpy(&tail, src + n - 8, 8);
    std::memcpy(dst, &head, 8);
    std::memcpy(dst + n - 8, &tail, 8);
  } else if (n >= 4) {
    std::uint32_t head, tail;
    std::memcpy(&head, src, 4);
    std::memcpy(&tail, src + n - 4, 4);
    std::memcpy(dst, &head, 4);
    std::memcpy(dst + n - 4, &tail, 4);
  } else if (n > 0) {
    char first = src[0], middle = src[n / 2], last = src[n - 1];
    dst[0] = first;
    dst[n / 2] = middle;
    dst[n - 1] = last;
  }
}

// The decimal form of value, written at the end of buf.
inline std::string_view DecimalDigits(char (&buf)[24], long long value) {
  if (value >= 0 && value < 100) {  // sizes, levels, term indices: the usual case
    if (value < 10) {
      buf[0] = static_cast<char>('0' + value);
      return std::string_view(buf, 1);
    }
    buf[0] = static_cast<char>('0' + value / 10);
    buf[1] = static_cast<char>('0' + value % 10);
    return std::string_view(buf, 2);
  }
  if constexpr (std::endian::native == std::endian::little) {
    if (value > 0 && value < 100000000) {
      // Up to eight digits are gathered in a word, the first digit in its
      // lowest byte, and stored at once: a copy that loads them several at a
      // time then reads one store, not a run of single-byte stores (which
      // the processor cannot forward to a wider load).
      std::uint64_t word = 0;
      std::size_t n = 0;
      for (long long v = value; v != 0; v /= 10, ++n) {
        word = (word << 8) | static_cast<std::uint64_t>('0' + v % 10);
      }
      std::memcpy(buf, &word, sizeof word);
      return std::string_view(buf, n);
    }
  }
  std::size_t at = sizeof buf;
  unsigned long long mag = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                     : static_cast<unsigned long long>(value);
  do {
    buf[--at] = static_cast<char>('0' + mag % 10);
    mag /= 10;
  } while (mag != 0);
  if (value < 0) buf[--at] = '-';
  return std::string_view(buf + at, sizeof buf - at);
}

template <std::size_t N>
class FixedText {
  static_assert(N >= 1, "a text needs room for its terminator");

 public:
  static constexpr std::size_t kCapacity = N - 1;
  static constexpr std::size_t npos = std::string_view::npos;

  FixedText() { data_[0] = '\0'; }
  FixedText(std::string_view s) { assign(s); }  // NOLINT: texts convert freely
  FixedText(const FixedText& other) { CopyFrom(other); }
  FixedText& operator=(const FixedText& other) {
    if (this != &other) CopyFrom(other);
    return *this;
  }
  FixedText& operator=(std::string_view s) {
    assign(s);
    return *this;
  }

  std::size_t size() const { return len_; }
  bool empty() const { return len_ == 0; }
  const char* c_str() const { return data_; }
  std::string_view view() const { return std::string_view(data_, len_); }
  operator std::string_view() const { return view(); }  // NOLINT

  // Reading past the used length yields the terminator, never stale bytes.
  char operator[](std::size_t i) const { return i < len_ ? data_[i] : '\0'; }

  // Overwrites one used byte; writing a NUL cuts the text there.
  void set(std::size_t i, char ch) {
    if (i >= len_) return;
    data_[i] = ch;
    if (ch == '\0') len_ = i;
  }

  void clear() {
    len_ = 0;
    data_[0] = '\0';
  }

  // Cuts the text to at most n characters.
  void truncate(std::size_t n) {
    if (n < len_ && n <= kCapacity) {
      len_ = n;
      data_[len_] = '\0';
    }
  }

  bool assign(std::string_view s) {
    clear();
    return append(s);
  }

  bool append(std::string_view s) {
    // len_ never exceeds the capacity; saying so lets the compiler see that
    // a copy into a small text is small.
    std::size_t room = len_ < kCapacity ? kCapacity - len_ : 0;
    std::size_t n = s.size() < room ? s.size() : room;
    CopyBytes(data_ + len_, s.data(), n);
    len_ += n;
    data_[len_] = '\0';
    return n == s.size();
  }

  bool append(char ch) {
    if (len_ >= kCapacity) return false;
    data_[len_++] = ch;
    data_[len_] = '\0';
    return true;
  }

  bool append_number(long long value) {
    char buf[24];
    return append(DecimalDigits(buf, value));
  }

  // Replaces count characters at pos by insert; the rest moves up or closes in.
  // Returns false (and keeps what fits) when the result exceeds the capacity.
  bool splice(std::size_t pos, std::size_t count, std::string_view insert) {
    if (pos > len_) pos = len_;
    if (count > len_ - pos) count = len_ - pos;
    std::size_t tail = len_ - pos - count;
    std::size_t want = pos + insert.size() + tail;
    bool fits = want <= kCapacity;
    std::size_t ins = insert.size();
    if (pos + ins > kCapacity) ins = kCapacity - pos;
    std::size_t keep_tail = tail;
    if (pos + ins + keep_tail > kCapacity) keep_tail = kCapacity - pos - ins;
    std::memmove(data_ + pos + ins, data_ + pos + count, keep_tail);
    if (ins > 0) std::memmove(data_ + pos, insert.data(), ins);
    len_ = pos + ins + keep_tail;
    data_[len_] = '\0';
    return fits;
  }

  std::size_t find(std::string_view needle, std::size_t from = 0) const {
    return view().find(needle, from);
  }
  std::size_t find(char ch, std::size_t from = 0) const { return view().find(ch, from); }

  bool starts_with(std::string_view s) const { return view().starts_with(s); }
  bool operator==(std::string_view s) const { return view() == s; }

  // Raw access for code that fills the text itself; call set_length afterwards.
  char* raw() { return data_; }
  void set_length(std::size_t n) {
    len_ = n <= kCapacity ? n : kCapacity;
    data_[len_] = '\0';
  }

 private:
  void CopyFrom(const FixedText& other) {
    // other.len_ never exceeds the capacity; saying so keeps the copy's size
    // within the buffers for the compiler too.
    len_ = other.len_ <= kCapacity ? other.len_ : kCapacity;
    CopyBytes(data_, other.data_, len_);
    data_[len_] = '\0';
  }

  std::size_t len_ = 0;
  char data_[N];
};

}  // namespace stackcc
