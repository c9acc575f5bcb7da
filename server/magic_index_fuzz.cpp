#include <cstddef>
#include <cstdint>
#include <string_view>

#include "server/magic_index.h"

// The index text and the Content-Type header are both under the sender's control.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (auto index = server::ParseMagicIndex(text)) {
    server::ReceivedPart part{"xfile001", "a.txt", "application/octet-stream", index->total};
    server::IndexMatchesBody(*index, server::BoundaryOf(text), {part});
  }
  server::BoundaryOf(text);
  return 0;
}
