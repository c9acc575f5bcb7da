#include "components/tta/parallel_decode_posix.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

#include "components/tta/file_transcode.h"
#include "components/tta/memory_stream.h"
#include "components/tta/tta_decoder.h"
#include "components/tta/wav_writer.h"

namespace tta {
namespace {

// Two frames (about two seconds of audio) per run: memory stays at two runs whatever the
// file's length, and progress and cancel are answered every few milliseconds.
constexpr size_t kFramesPerRun = 2;
// Rice codes have no useful upper bound, and odd sample rates make long frames: a frame
// larger than these is decoded as it streams in instead, so memory stays bounded.
constexpr uint64_t kMaxBufferedFrameBytes = 8 << 20;
constexpr uint64_t kMaxBufferedFrameValues = 1 << 20;
// Sample frames per write while streaming a large frame.
constexpr size_t kStreamBlock = 16384;

// A run of whole frames: their bytes as stored, then their samples once decoded.
struct Run {
  std::string bytes;
  std::vector<uint32_t> frameSizes;
  uint32_t sampleFrames = 0;
  std::vector<int32_t> samples;
};

void Report(const ProgressFn& progress, uint64_t position) {
  if (progress && !progress(position)) throw CodecError(Status::kCancelled);
}

// Walks the stream's frames by the seek table, handing out runs of them to decode apart.
class FrameWalker {
 public:
  FrameWalker(TtaDecoder& decoder, uint64_t sourceSize)
      : decoder_(decoder),
        header_(decoder.header()),
        sizes_(decoder.frameSizes()),
        sourceSize_(sourceSize),
        samplesLeft_(header_.sampleCount) {}

  bool done() const { return next_ == sizes_.size(); }
  uint64_t position() const { return decoder_.consumed(); }

  bool NextFitsARun() const {
    return uint64_t{header_.frameLength()} * header_.format.channels <= kMaxBufferedFrameValues &&
           sizes_[next_] <= kMaxBufferedFrameBytes;
  }

  // Up to kFramesPerRun frames, stopping before one that does not fit; none at the end.
  void Read(Run& run) {
    run.frameSizes.clear();
    uint64_t size = 0;
    while (!done() && run.frameSizes.size() < kFramesPerRun && NextFitsARun()) {
      run.frameSizes.push_back(sizes_[next_]);
      size += sizes_[next_++];
    }
    CheckPresent(size);
    run.bytes.resize(static_cast<size_t>(size));
    run.sampleFrames = TakeSamples(run.frameSizes.size());
    decoder_.ReadRawFrames(reinterpret_cast<uint8_t*>(run.bytes.data()), run.bytes.size(),
                           run.sampleFrames);
  }

  // Decodes the next frame as it is read, writing it out in blocks.
  void Stream(WavWriter& writer, std::vector<int32_t>& block) {
    const uint64_t end = position() + sizes_[next_++];
    block.resize(kStreamBlock * header_.format.channels);
    for (uint32_t left = TakeSamples(1); left > 0;) {
      const size_t n = decoder_.Decode(block.data(), std::min<size_t>(left, kStreamBlock));
      writer.Write(block.data(), n);
      left -= static_cast<uint32_t>(n);
    }
    if (position() != end) throw CodecError(Status::kMalformedData);
  }

 private:
  // Frames that would run past the end of the file are truncated data; checked before
  // anything is allocated for them.
  void CheckPresent(uint64_t size) const {
    if (size > sourceSize_ - std::min(sourceSize_, position())) {
      throw CodecError(Status::kMalformedData);
    }
  }

  uint32_t TakeSamples(size_t frames) {
    const auto taken = static_cast<uint32_t>(
        std::min<uint64_t>(samplesLeft_, uint64_t{header_.frameLength()} * frames));
    samplesLeft_ -= taken;
    return taken;
  }

  TtaDecoder& decoder_;
  const StreamHeader& header_;
  const std::vector<uint32_t>& sizes_;
  size_t next_ = 0;
  const uint64_t sourceSize_;
  uint32_t samplesLeft_;
};

void Decode(const AudioFormat& format, Run& run) {
  run.samples.resize(size_t{run.sampleFrames} * format.channels);
  if (run.sampleFrames == 0) return;
  MemorySource source(run.bytes);
  TtaDecoder decoder(source, StreamHeader{format, run.sampleFrames});
  const uint32_t frameLength = StreamHeader{format, 0}.frameLength();
  uint64_t end = 0;
  size_t done = 0;
  for (const uint32_t size : run.frameSizes) {
    done += decoder.Decode(run.samples.data() + done * format.channels, frameLength);
    // Each frame must fill exactly the bytes the seek table gives it.
    end += size;
    if (decoder.consumed() != end) throw CodecError(Status::kMalformedData);
  }
}

}  // namespace

void DecodeTtaToWavInParallel(ByteSource& tta, uint64_t sourceSize, ByteSink& wav,
                              const ProgressFn& progress) {
  TtaDecoder decoder(tta, TtaDecoder::SeekTable::kKeep);
  const StreamHeader& header = decoder.header();
  WavWriter writer(wav, header.format, header.sampleCount);
  FrameWalker frames(decoder, sourceSize);
  Report(progress, frames.position());
  Run ours, theirs;
  std::vector<int32_t> block;
  while (!frames.done()) {
    if (!frames.NextFitsARun()) {
      frames.Stream(writer, block);
      Report(progress, frames.position());
      continue;
    }
    frames.Read(ours);
    frames.Read(theirs);
    std::exception_ptr theirError;
    {
      std::jthread helper([&] {
        try {
          Decode(header.format, theirs);
        } catch (...) {
          theirError = std::current_exception();
        }
      });
      Decode(header.format, ours);
      writer.Write(ours.samples.data(), ours.sampleFrames);
    }
    if (theirError) std::rethrow_exception(theirError);
    writer.Write(theirs.samples.data(), theirs.sampleFrames);
    Report(progress, frames.position());
  }
  writer.Finish();
  Report(progress, std::max(sourceSize, frames.position()));
}

Status DecodeFileInParallel(const std::string& ttaPath, const std::string& wavPath,
                            const ProgressFn& progress) {
  return ConvertFile(DecodeTtaToWavInParallel, ttaPath, wavPath, progress);
}

}  // namespace tta
