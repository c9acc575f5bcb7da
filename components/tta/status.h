// Outcome of a TTA or WAV conversion. The numbers are the result codes of TTA_VB.dll, so the
// application, the native tool's exit code and the tests all speak the same codes.
#pragma once

#include <exception>

namespace tta {

enum class Status : int {
  kOk = 0,
  kSourceMissing = 1,      // the source file cannot be opened
  kUnsupportedFormat = 2,  // not a WAV or TTA stream of a kind the codec handles
  kOutputNotWritable = 3,  // the output cannot be created or written
  kMalformedData = 4,      // truncated, inconsistent or failing its checksum
  kReadFailed = 5,         // the source could be opened but not read
  kInvalidArguments = 6,   // a missing path, or the output would overwrite the source
  kOutOfMemory = 7,
  kInternalError = 8,
  kCancelled = 9,  // the progress callback asked to stop
};

// An English sentence for messages of the native tool.
const char* Describe(Status status);

class CodecError : public std::exception {
 public:
  explicit CodecError(Status status) : status_(status) {}
  Status status() const { return status_; }
  const char* what() const noexcept override { return Describe(status_); }

 private:
  Status status_;
};

}  // namespace tta
