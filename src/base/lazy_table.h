// A fixed table of N records whose records are constructed on first use, in
// index order. The storage is part of the owning object like a plain array, but
// a record nobody has reached costs nothing: its memory is never touched, so a
// small program does not pay for the page faults of tables it barely uses.
// Records are default-initialised, not value-initialised: a value-initialised
// record is zero-filled whole before its constructor runs (40 KB for a reader
// level), so every member of T must carry its own initialiser.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <type_traits>

namespace stackcc {

template <typename T, std::size_t N>
class LazyTable {
 public:
  LazyTable() = default;
  LazyTable(const LazyTable&) = delete;
  LazyTable& operator=(const LazyTable&) = delete;
  ~LazyTable() {
    if constexpr (!std::is_trivially_destructible_v<T>) {
      while (built_ > 0) {
        --built_;
        std::launder(reinterpret_cast<T*>(storage_ + built_ * sizeof(T)))->~T();
      }
    }
  }

  static constexpr std::size_t size() { return N; }

  T& operator[](std::size_t i) {
    if (i >= built_) Build(i);
    return RecordAt(i);
  }
  const T& operator[](std::size_t i) const { return const_cast<LazyTable&>(*this)[i]; }

  // How many records, from record 0 on, are built; the others were never used.
  std::size_t Built() const { return built_; }

 protected:
  // The record at i, built or not.
  T& RecordAt(std::size_t i) {
    return *std::launder(reinterpret_cast<T*>(storage_ + i * sizeof(T)));
  }

 private:
  // Kept out of line: the accessor stays a compare and an address.
  [[gnu::cold, gnu::noinline]] void Build(std::size_t i) {
    if (i >= N) i = N - 1;  // callers check their indices; never build outside
    for (; built_ <= i; ++built_) new (storage_ + built_ * sizeof(T)) T;
  }

  std::size_t built_ = 0;
  alignas(T) unsigned char storage_[N * sizeof(T)];
};

// A lazy table whose records are built only when taken (Take builds every
// record up to the one taken), for a table read far more often than it grows:
// a read goes straight to its record, with no test on the way. Every index
// read must have been taken before (the expression compiler reads only the
// terms of its statements); the checked builds (sanitizers, fuzzing, debug)
// stop the program on a read of a record never taken.
template <typename T, std::size_t N>
class TakenTable : private LazyTable<T, N> {
  using Base = LazyTable<T, N>;

 public:
  using Base::Built;
  using Base::size;

  T& Take(std::size_t i) { return Base::operator[](i); }

  T& operator[](std::size_t i) {
#ifdef STACKCC_CHECKED_TABLES
    if (i >= Built()) {
      std::fprintf(stderr,
                   "stackcc: internal error: record %zu of a table read before it was built\n", i);
      std::abort();
    }
#endif
    return Base::RecordAt(i);
  }
  const T& operator[](std::size_t i) const {
    return const_cast<TakenTable&>(*this)[i];
  }
};

}  // namespace stackcc
