#include "core/byte_buffer.h"

#include <algorithm>
#include <cstring>

namespace ravuvur {

void ByteBuffer::Grow(std::size_t bytes) {
  const std::size_t capacity = std::max({firstCapacity_, 2 * capacity_, size_ + bytes});
  auto grown = std::make_unique_for_overwrite<char[]>(capacity);
  if (size_ > 0) std::memcpy(grown.get(), data_.get(), size_);
  data_ = std::move(grown);
  capacity_ = capacity;
}

}  // namespace ravuvur
