// A block of zero bytes that costs nothing until it is touched: it is mapped
// from fresh anonymous pages, which the system hands out already zero, page by
// page on first use. Clearing the block instead would touch every page of it
// on every run, however little of it the program uses.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <new>
#include <type_traits>

namespace stackcc {

template <typename T>
class ZeroedBlock {
  static_assert(std::is_trivially_copyable_v<T>, "all-zero bytes must be a valid T");

 public:
  ZeroedBlock() = default;
  ZeroedBlock(const ZeroedBlock&) = delete;
  ZeroedBlock& operator=(const ZeroedBlock&) = delete;
  ~ZeroedBlock() { Release(); }

  // Maps room for count records, all zero; throws std::bad_alloc on failure.
  void Allocate(std::size_t count) {
    Release();
    bytes_ = count * sizeof(T);
    void* p = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
      bytes_ = 0;
      throw std::bad_alloc();
    }
    data_ = static_cast<T*>(p);
  }
  bool empty() const { return data_ == nullptr; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }

 private:
  void Release() {
    if (data_ != nullptr) munmap(data_, bytes_);
    data_ = nullptr;
    bytes_ = 0;
  }

  T* data_ = nullptr;
  std::size_t bytes_ = 0;
};

}  // namespace stackcc
