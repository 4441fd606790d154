// CellText: the text of one grid cell in 16 bytes. A text of up to 15 bytes
// (a date, a code, most numbers and names) lives inside it; a longer one on
// the heap, owned by the cell. Half the size of a std::string, which matters
// in a grid of a hundred thousand rows.
//
// Thread-safety: none; the grid that owns it serialises access.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace trovel {

class CellText {
 public:
  CellText() { bytes_[kTag] = 0; }
  ~CellText() { Release(); }
  CellText(CellText&& other) noexcept { TakeFrom(other); }
  CellText& operator=(CellText&& other) noexcept {
    if (this != &other) {
      Release();
      TakeFrom(other);
    }
    return *this;
  }
  CellText(const CellText&) = delete;
  CellText& operator=(const CellText&) = delete;

  std::string_view View() const {
    if (!IsLarge()) return {bytes_, static_cast<size_t>(bytes_[kTag])};
    return {LargePointer(), LargeSize()};
  }
  // Throws std::length_error for a text of 4 GiB or more.
  void Assign(std::string_view text);

 private:
  static constexpr size_t kTag = 15;              // size of a small text, or kLarge
  static constexpr unsigned char kLarge = 0xFF;

  bool IsLarge() const { return static_cast<unsigned char>(bytes_[kTag]) == kLarge; }
  char* LargePointer() const {
    char* p;
    std::memcpy(&p, bytes_, sizeof p);
    return p;
  }
  size_t LargeSize() const {
    uint32_t n;
    std::memcpy(&n, bytes_ + sizeof(char*), sizeof n);
    return n;
  }
  void Release() {
    if (IsLarge()) delete[] LargePointer();
    bytes_[kTag] = 0;
  }
  void TakeFrom(CellText& other) {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.bytes_[kTag] = 0;
  }

  // Small: the text, then its size in the last byte. Large: the heap
  // pointer, the size (32 bits), then kLarge in the last byte.
  alignas(8) char bytes_[16];
};

}  // namespace trovel
