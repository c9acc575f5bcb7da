// Growable byte buffer for socket data and the control's response blocks.
//
// The byte after the content is always 0 once something was appended, so the content can be
// handed to code that reads it as text. The block only grows, at least doubling each time (a
// stream of appends from a fast peer then costs time in proportion to its size, not its square),
// and is freed with the buffer.
#pragma once

#include <cstdint>
#include <climits>
#include <memory>
#include <string_view>

class ByteBuffer {
 public:
  ByteBuffer() = default;
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;
  ByteBuffer(ByteBuffer&&) noexcept = default;
  ByteBuffer& operator=(ByteBuffer&&) noexcept = default;

  // Nothing happens for count < 1. False when the block cannot grow: the bytes are dropped,
  // the old content stays as it was, and the caller must not go on as if they were kept.
  [[nodiscard]] bool Append(const void* bytes, int32_t count);
  [[nodiscard]] bool Append(std::string_view bytes) {
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) return false;
    return Append(bytes.data(), static_cast<int32_t>(bytes.size()));
  }

  // Removes the first count bytes for 0 <= count <= Length(); any other count is ignored.
  void Consume(int32_t count);

  // Forgets the content and keeps the block for reuse.
  void Empty();

  char* Data() { return data_.get(); }
  const char* Data() const { return data_.get(); }
  int32_t Length() const { return length_; }
  int32_t Capacity() const { return capacity_; }
  std::string_view View() const { return {data_ ? data_.get() : "", static_cast<size_t>(length_)}; }
  // The content as a zero-terminated text; "" while no block exists.
  const char* Text() const { return data_ ? data_.get() : ""; }

 private:
  std::unique_ptr<char[]> data_;
  int32_t capacity_ = 0;
  int32_t length_ = 0;
};
