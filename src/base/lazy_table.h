// A fixed table of N records whose records are constructed on first use, in
// index order. The storage is part of the owning object like a plain array, but
// a record nobody has reached costs nothing: its memory is never touched, so a
// small program does not pay for the page faults of tables it barely uses.
// Records are default-initialised, not value-initialised: a value-initialised
// record is zero-filled whole before its constructor runs (40 KB for a reader
// level), so every member of T must carry its own initialiser.
#pragma once

#include <cstddef>
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
    return *std::launder(reinterpret_cast<T*>(storage_ + i * sizeof(T)));
  }
  const T& operator[](std::size_t i) const { return const_cast<LazyTable&>(*this)[i]; }

  // How many records, from record 0 on, are built; the others were never used.
  std::size_t Built() const { return built_; }

 private:
  void Build(std::size_t i) {
    if (i >= N) i = N - 1;  // callers check their indices; never build outside
    for (; built_ <= i; ++built_) new (storage_ + built_ * sizeof(T)) T;
  }

  std::size_t built_ = 0;
  alignas(T) unsigned char storage_[N * sizeof(T)];
};

}  // namespace stackcc
