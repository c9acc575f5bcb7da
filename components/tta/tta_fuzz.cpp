// Feeds arbitrary bytes to the two parsers of outside input: the TTA decoder and the WAV
// reader (through the encoder, which consumes everything the reader yields).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "components/tta/memory_stream.h"
#include "components/tta/status.h"
#include "components/tta/transcode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const auto convert : {tta::DecodeTtaToWav, tta::EncodeWavToTta}) {
    tta::MemorySource source(bytes);
    tta::NullSink sink;
    try {
      convert(source, size, sink, nullptr);
    } catch (const tta::CodecError&) {
      // Refusing the input is the expected outcome for most of it.
    }
  }
  return 0;
}
