// Files as byte streams. Paths are the platform's narrow strings: code-page bytes (ANSI) on
// Windows, as TTA_VB.dll receives them, and UTF-8 natively.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "components/tta/byte_stream.h"

namespace tta {

class InputFile : public ByteSource {
 public:
  virtual uint64_t size() const = 0;
};

// An output file exists only once committed: dropped without Commit, it is removed, so an
// interrupted conversion leaves nothing behind.
class OutputFile : public ByteSink {
 public:
  virtual void Commit() = 0;
};

// Throws CodecError(kSourceMissing) when the file cannot be opened.
std::unique_ptr<InputFile> OpenInputFile(const std::string& path);

// Creates (or replaces) the file. Throws CodecError(kOutputNotWritable) when that fails, and
// kInvalidArguments when `path` names the file `source` reads, which must not be destroyed.
std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path, const InputFile& source);

}  // namespace tta
