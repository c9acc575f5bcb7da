#include "components/tta/transcode.h"

#include <algorithm>
#include <vector>

#include "components/tta/status.h"
#include "components/tta/tta_decoder.h"
#include "components/tta/tta_encoder.h"
#include "components/tta/wav_reader.h"
#include "components/tta/wav_writer.h"

namespace tta {
namespace {

// About 200 reports per file, so a percentage display moves in steps of at most one; no more
// than 16384 sample frames per block, so a cancel is answered within a fraction of a second.
size_t BlockFrames(uint32_t totalFrames) { return std::clamp<size_t>(totalFrames / 200, 1, 16384); }

void Report(const ProgressFn& progress, uint64_t position) {
  if (progress && !progress(position)) throw CodecError(Status::kCancelled);
}

}  // namespace

void EncodeWavToTta(ByteSource& wav, uint64_t sourceSize, ByteSink& tta,
                    const ProgressFn& progress) {
  WavReader reader(wav);
  reader.CheckAnnouncedData(sourceSize);
  TtaEncoder encoder(tta, StreamHeader{reader.format(), reader.sampleFrames()});
  const size_t block = BlockFrames(reader.sampleFrames());
  std::vector<int32_t> samples(block * reader.format().channels);
  Report(progress, reader.consumed());
  while (const size_t n = reader.Read(samples.data(), block)) {
    encoder.Encode(samples.data(), n);
    Report(progress, reader.consumed());
  }
  encoder.Finish();
  Report(progress, std::max(sourceSize, reader.consumed()));
}

void DecodeTtaToWav(ByteSource& tta, uint64_t sourceSize, ByteSink& wav,
                    const ProgressFn& progress) {
  TtaDecoder decoder(tta);
  const StreamHeader& header = decoder.header();
  WavWriter writer(wav, header.format, header.sampleCount);
  const size_t block = BlockFrames(header.sampleCount);
  std::vector<int32_t> samples(block * header.format.channels);
  Report(progress, decoder.consumed());
  while (const size_t n = decoder.Decode(samples.data(), block)) {
    writer.Write(samples.data(), n);
    Report(progress, decoder.consumed());
  }
  writer.Finish();
  Report(progress, std::max(sourceSize, decoder.consumed()));
}

}  // namespace tta
