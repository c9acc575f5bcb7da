#include "components/tta/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tta {

size_t MemorySource::Read(uint8_t* data, size_t size) {
  size_t n = std::min(size, bytes_.size() - position_);
  if (n > 0) std::memcpy(data, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

void MemorySink::Write(const uint8_t* data, size_t size) {
  bytes_.append(reinterpret_cast<const char*>(data), size);
}

void MemorySink::WriteAt(uint64_t offset, const uint8_t* data, size_t size) {
  if (offset > bytes_.size() || size > bytes_.size() - offset) {
    throw std::out_of_range("MemorySink::WriteAt beyond the written bytes");
  }
  std::memcpy(bytes_.data() + offset, data, size);
}

}  // namespace tta
