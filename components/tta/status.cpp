#include "components/tta/status.h"

namespace tta {

const char* Describe(Status status) {
  switch (status) {
    case Status::kOk:
      return "done";
    case Status::kSourceMissing:
      return "the source file cannot be opened";
    case Status::kUnsupportedFormat:
      return "not a WAV or TTA file of a supported kind";
    case Status::kOutputNotWritable:
      return "the output file cannot be written";
    case Status::kMalformedData:
      return "the source is truncated or damaged";
    case Status::kReadFailed:
      return "the source file cannot be read";
    case Status::kInvalidArguments:
      return "invalid arguments (the output must be a different file from the source)";
    case Status::kOutOfMemory:
      return "out of memory";
    case Status::kInternalError:
      return "internal error";
    case Status::kCancelled:
      return "cancelled";
  }
  return "unknown result";
}

}  // namespace tta
