#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace ravuvur {

// Bytes written in place at the end, a piece at a time: the log's lines and
// the CSV's rows, tens of thousands of short pieces a run. Room hands out
// the place for the next piece and EndAt says where it ended, so a piece
// costs no bounds check per byte and no byte is cleared before it is
// written. Grows by doubling, never below its first capacity.
class ByteBuffer {
 public:
  explicit ByteBuffer(std::size_t firstCapacity) noexcept : firstCapacity_(firstCapacity) {}

  // Place for `bytes` more bytes at the end. On failure (out of memory) the
  // buffer is as it was.
  char* Room(std::size_t bytes) {
    if (capacity_ - size_ < bytes) Grow(bytes);
    return data_.get() + size_;
  }
  // The bytes now end at `end`, within the room last handed out.
  void EndAt(const char* end) noexcept { size_ = static_cast<std::size_t>(end - data_.get()); }

  std::string_view View() const noexcept { return {data_.get(), size_}; }
  std::size_t size() const noexcept { return size_; }
  void Clear() noexcept { size_ = 0; }

 private:
  void Grow(std::size_t bytes);

  std::size_t firstCapacity_;
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace ravuvur
