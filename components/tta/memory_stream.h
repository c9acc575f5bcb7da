// Byte streams over memory: the fuzzer's input and the tests' files.
#pragma once

#include <string>
#include <string_view>

#include "components/tta/byte_stream.h"

namespace tta {

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  size_t Read(uint8_t* data, size_t size) override;

 private:
  std::string_view bytes_;
  size_t position_ = 0;
};

class MemorySink : public ByteSink {
 public:
  void Write(const uint8_t* data, size_t size) override;
  void WriteAt(uint64_t offset, const uint8_t* data, size_t size) override;
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Discards what it is given: the fuzzer only needs the decoder to run.
class NullSink : public ByteSink {
 public:
  void Write(const uint8_t*, size_t) override {}
  void WriteAt(uint64_t, const uint8_t*, size_t) override {}
};

}  // namespace tta
