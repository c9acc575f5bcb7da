// Takes the parts of one upload as the multipart parser hands them over: file parts go
// straight to files in a staging folder, so memory does not grow with the upload; plain
// fields (the "magic" index, "para1" to "para3") are small and kept in memory.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "server/magic_index.h"

namespace server {

struct ReceivedUpload {
  std::string boundary;
  std::vector<ReceivedPart> parts;
  std::vector<std::filesystem::path> stagedFiles;  // per part; empty for a plain field
  std::vector<std::string> fields;                 // per part; empty for a file part
};

class UploadReceiver {
 public:
  // The staging folder is created here and removed with the receiver, with whatever is left
  // in it.
  UploadReceiver(std::filesystem::path stagingDir, std::string boundary);
  ~UploadReceiver();
  UploadReceiver(const UploadReceiver&) = delete;
  UploadReceiver& operator=(const UploadReceiver&) = delete;

  // Both return false to stop the parser: too many parts, too many field bytes, a write failure.
  bool BeginPart(std::string_view name, std::string_view filename, std::string_view contentType);
  bool Append(const char* data, std::size_t length);

  // Closes the last file; false when it could not be written completely.
  bool Finish();

  enum class Failure { kNone, kTooLarge, kMalformed, kNotSaved };
  Failure failure() const { return failure_; }
  const std::string& failureText() const { return failureText_; }

  const ReceivedUpload& upload() const { return upload_; }

 private:
  bool CloseFile();
  bool Fail(Failure failure, std::string text);

  std::filesystem::path stagingDir_;
  ReceivedUpload upload_;
  std::FILE* file_ = nullptr;
  std::size_t fieldBytes_ = 0;  // of all plain fields so far
  Failure failure_ = Failure::kNone;
  std::string failureText_;
};

}  // namespace server
