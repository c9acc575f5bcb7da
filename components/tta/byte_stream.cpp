#include "components/tta/byte_stream.h"

#include <algorithm>

#include "components/tta/status.h"

namespace tta {

size_t ReadUpTo(ByteSource& source, uint8_t* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const size_t got = source.Read(data + done, size - done);
    if (got == 0) break;
    done += got;
  }
  return done;
}

void ReadExact(ByteSource& source, uint8_t* data, size_t size) {
  if (ReadUpTo(source, data, size) != size) throw CodecError(Status::kMalformedData);
}

void Skip(ByteSource& source, uint64_t size) {
  uint8_t scratch[4096];
  while (size > 0) {
    size_t chunk = static_cast<size_t>(std::min<uint64_t>(size, sizeof scratch));
    ReadExact(source, scratch, chunk);
    size -= chunk;
  }
}

}  // namespace tta
