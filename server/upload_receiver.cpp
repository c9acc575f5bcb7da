#include "server/upload_receiver.h"

#include <system_error>

namespace server {
namespace {

// A forward has at most 500 files; the control sends at most 999 plus three Para fields.
constexpr std::size_t kMaxParts = 1003;
// All plain fields of one upload together: the index of 999 files takes about 20 KB, each Para
// value at most 255 bytes.
constexpr std::size_t kMaxFieldBytes = 64 << 10;

}  // namespace

UploadReceiver::UploadReceiver(std::filesystem::path stagingDir, std::string boundary)
    : stagingDir_(std::move(stagingDir)) {
  upload_.boundary = std::move(boundary);
  std::filesystem::create_directories(stagingDir_);
}

UploadReceiver::~UploadReceiver() {
  if (file_) std::fclose(file_);
  std::error_code ignored;
  std::filesystem::remove_all(stagingDir_, ignored);
}

bool UploadReceiver::Fail(Failure failure, std::string text) {
  if (failure_ == Failure::kNone) {
    failure_ = failure;
    failureText_ = std::move(text);
  }
  return false;
}

bool UploadReceiver::CloseFile() {
  if (!file_) return true;
  const bool ok = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok || Fail(Failure::kNotSaved, "a staged file could not be written");
}

bool UploadReceiver::BeginPart(std::string_view name, std::string_view filename,
                               std::string_view contentType) {
  if (!CloseFile()) return false;
  if (upload_.parts.size() >= kMaxParts) return Fail(Failure::kTooLarge, "too many parts");
  upload_.parts.push_back({std::string(name), std::string(filename), std::string(contentType), 0});
  upload_.fields.emplace_back();
  upload_.stagedFiles.emplace_back();
  if (!filename.empty()) {
    std::filesystem::path path = stagingDir_ / std::to_string(upload_.parts.size());
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return Fail(Failure::kNotSaved, "a staged file could not be created");
    upload_.stagedFiles.back() = std::move(path);
  }
  return true;
}

bool UploadReceiver::Append(const char* data, std::size_t length) {
  if (upload_.parts.empty()) return Fail(Failure::kMalformed, "data before the first part");
  upload_.parts.back().size += length;
  if (file_) {
    return std::fwrite(data, 1, length, file_) == length ||
           Fail(Failure::kNotSaved, "a staged file could not be written");
  }
  if (length > kMaxFieldBytes - fieldBytes_) {
    return Fail(Failure::kTooLarge, "the form fields are too large");
  }
  fieldBytes_ += length;
  upload_.fields.back().append(data, length);
  return true;
}

bool UploadReceiver::Finish() { return CloseFile(); }

}  // namespace server
