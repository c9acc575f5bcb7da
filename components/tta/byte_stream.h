// The codec reads and writes through these, so the same code serves files, memory (tests and
// fuzzing) and any other carrier. Failures are reported by throwing CodecError.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tta {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes; fewer only at the end of the data, 0 once it is reached.
  virtual size_t Read(uint8_t* data, size_t size) = 0;
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Write(const uint8_t* data, size_t size) = 0;
  // Overwrites bytes already written (the TTA seek table is filled in as frames complete);
  // the next Write still appends at the end.
  virtual void WriteAt(uint64_t offset, const uint8_t* data, size_t size) = 0;
};

// Reads `size` bytes, fewer only when the source ends first; returns how many.
size_t ReadUpTo(ByteSource& source, uint8_t* data, size_t size);

// Reads exactly `size` bytes; a shorter source is truncated data.
void ReadExact(ByteSource& source, uint8_t* data, size_t size);

// Skips `size` bytes; a shorter source is truncated data.
void Skip(ByteSource& source, uint64_t size);

}  // namespace tta
