// One stored forward as the store keeps it and the replies show it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "server/para_file.h"

namespace server {

struct StoredFile {
  std::string sourceName;  // UTF-8, as listed by the sender
  std::int64_t sourceSize = 0;
  std::string workName;  // UTF-8, the file that was uploaded and is kept
  std::int64_t workSize = 0;
  std::string offeredName;  // UTF-8, the name recipients download it under
};

struct ForwardRecord {
  std::string id;
  std::string productId;
  std::string sender;
  std::vector<Recipient> recipients;
  std::string message;
  std::int64_t createdAt = 0;  // seconds since the epoch, on the server's (shiftable) clock
  std::int64_t keptUntil = 0;  // the files are deleted once the clock is past this
  bool deleted = false;
  std::vector<StoredFile> files;
};

}  // namespace server
