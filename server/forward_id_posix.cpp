#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <system_error>

#include "server/forward_id.h"

namespace server {

std::string NewForwardId() {
  std::uint8_t bytes[16];
  std::size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw std::system_error(errno, std::generic_category(), "getrandom");
    got += static_cast<std::size_t>(n);
  }
  std::string id;
  for (std::uint8_t byte : bytes) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", byte);
    id += hex;
  }
  return id;
}

}  // namespace server
