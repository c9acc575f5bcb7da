// Feeds arbitrary bytes to the two parsers of outside input: the TTA decoder and the WAV
// reader (through the encoder, which consumes everything the reader yields), on the calling
// thread and through the frame walker that hands frames to worker threads.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "components/tta/memory_stream.h"
#include "components/tta/parallel_transcode.h"
#include "components/tta/status.h"
#include "components/tta/transcode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  using Conversion = void (*)(tta::ByteSource&, uint64_t, tta::ByteSink&, const tta::ProgressFn&);
  const Conversion conversions[] = {
      tta::DecodeTtaToWav, tta::EncodeWavToTta,
      [](tta::ByteSource& in, uint64_t length, tta::ByteSink& out, const tta::ProgressFn& report) {
        tta::DecodeTtaToWavInParallel(in, length, out, report, {1});
      },
      [](tta::ByteSource& in, uint64_t length, tta::ByteSink& out, const tta::ProgressFn& report) {
        tta::EncodeWavToTtaInParallel(in, length, out, report, {1});
      }};
  for (const auto convert : conversions) {
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
