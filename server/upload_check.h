// Whether a received upload is a complete forward: the index matches the body, the parameter
// data file is there and well formed, and every work file it lists arrived with its size.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/para_file.h"
#include "server/upload_receiver.h"

namespace server {

struct UploadPlan {
  ParaFile para;
  std::vector<std::size_t> workParts;  // for each listed work file, the part that carries it
};

// The file name without its folder: senders give full Windows paths in code page 932, whose
// trail bytes may equal the backslash, or aliases, which may be ISO-2022-JP text whose two-byte
// codes hold any printable byte. Returned as UTF-8.
std::string BaseName(std::string_view filename);

// The part that carries the parameter data file, found by its name.
std::optional<std::size_t> FindParaPart(const ReceivedUpload& upload);

// Empty when the data is not correct (the answer "-4"), a source name among it that could not
// be offered to recipients included.
std::optional<UploadPlan> CheckUpload(const ReceivedUpload& upload, std::string_view paraBytes);

}  // namespace server
