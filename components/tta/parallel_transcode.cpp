#include "components/tta/parallel_transcode.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "components/tta/memory_stream.h"
#include "components/tta/ordered_workers.h"
#include "components/tta/status.h"
#include "components/tta/tta_decoder.h"
#include "components/tta/tta_encoder.h"
#include "components/tta/wav_reader.h"
#include "components/tta/wav_writer.h"

namespace tta {
namespace {

// Rice codes have no useful upper bound, and odd sample rates make long frames: a frame larger
// than these is coded on the calling thread as it streams, so memory stays bounded and a
// cancel is still answered between blocks.
constexpr uint64_t kMaxBufferedFrameBytes = 8 << 20;
constexpr uint64_t kMaxBufferedFrameValues = 1 << 20;
// Sample frames per block while streaming a large frame.
constexpr size_t kStreamBlock = 16384;
// While the oldest frame is still being coded, the caller hears again of the position reached
// this often, so that its window stays responsive and its cancel is seen.
constexpr std::chrono::milliseconds kPatience{20};

// Progress as the caller sees it: never going back, and in steps of at most a two-hundredth of
// the source, so that a percentage display advancing one step per report passes every value
// even when the file is only a frame or two long.
class Progress {
 public:
  Progress(const ProgressFn& fn, uint64_t sourceSize)
      : fn_(fn), step_(std::max<uint64_t>(sourceSize / 200, 1)) {}

  void AdvanceTo(uint64_t position) {
    if (!fn_) return;
    while (position > last_ + step_) Report(last_ += step_);
    Report(last_ = std::max(last_, position));
  }
  // The position reached so far, once more.
  void Repeat() {
    if (fn_) Report(last_);
  }

 private:
  void Report(uint64_t position) {
    if (!fn_(position)) throw CodecError(Status::kCancelled);
  }

  const ProgressFn& fn_;
  const uint64_t step_;
  uint64_t last_ = 0;
};

// Frames in flight: enough to keep every worker busy while the caller writes out the oldest.
size_t SlotsFor(unsigned workers) { return size_t{workers} * 2 + 2; }

unsigned WorkersFor(const ParallelOptions& options) {
  return options.workers != 0 ? options.workers : OrderedWorkers::DefaultWorkers();
}

// A frame's coded bytes, gathered in memory.
class FrameBytes final : public ByteSink {
 public:
  void Write(const uint8_t* data, size_t size) override {
    bytes.insert(bytes.end(), data, data + size);
  }
  void WriteAt(uint64_t, const uint8_t*, size_t) override {
    throw CodecError(Status::kInternalError);
  }
  std::vector<uint8_t> bytes;
};

struct EncodeJob {
  explicit EncodeJob(const AudioFormat& format) : encoder(coded, format) {}
  std::vector<uint8_t> pcm;  // the frame as the WAV file stores it
  uint32_t sampleFrames = 0;
  uint64_t end = 0;  // source position after the frame
  std::vector<int32_t> samples;
  FrameBytes coded;
  FrameEncoder encoder;
  uint32_t codedSize = 0;
};

void EncodeFrame(const AudioFormat& format, EncodeJob& job) {
  job.samples.resize(size_t{job.sampleFrames} * format.channels);
  UnpackPcm(job.pcm.data(), job.samples.size(), format.bytesPerSample(), job.samples.data());
  job.coded.bytes.clear();
  job.encoder.StartFrame();
  job.encoder.Encode(job.samples.data(), job.sampleFrames);
  job.codedSize = job.encoder.EndFrame();
  job.encoder.Drain();
}

}  // namespace

void EncodeWavToTtaInParallel(ByteSource& wav, uint64_t sourceSize, ByteSink& tta,
                              const ProgressFn& progressFn, ParallelOptions options) {
  WavReader reader(wav);
  reader.CheckAnnouncedData(sourceSize);
  const AudioFormat format = reader.format();
  const StreamHeader header{format, reader.sampleFrames()};
  TtaEncoder encoder(tta, header);
  Progress progress(progressFn, sourceSize);
  progress.AdvanceTo(reader.consumed());

  if (uint64_t{header.frameLength()} * format.channels > kMaxBufferedFrameValues) {
    std::vector<int32_t> block(kStreamBlock * format.channels);
    while (const size_t n = reader.Read(block.data(), kStreamBlock)) {
      encoder.Encode(block.data(), n);
      progress.AdvanceTo(reader.consumed());
    }
  } else {
    const unsigned workers = WorkersFor(options);
    // Each job's encoder writes into the job itself, so jobs stay where they are made.
    std::vector<std::unique_ptr<EncodeJob>> jobs(SlotsFor(workers));
    for (auto& job : jobs) job = std::make_unique<EncodeJob>(format);
    OrderedWorkers pool(workers, jobs.size(),
                        [&](size_t slot) { EncodeFrame(format, *jobs[slot]); });
    for (;;) {
      while (!pool.full()) {
        EncodeJob& job = *jobs[pool.next()];
        job.pcm.resize(size_t{header.frameLength()} * format.blockAlign());
        job.sampleFrames =
            static_cast<uint32_t>(reader.ReadPcm(job.pcm.data(), header.frameLength()));
        if (job.sampleFrames == 0) break;
        job.end = reader.consumed();
        pool.Submit();
      }
      if (pool.empty()) break;
      if (!pool.Wait(kPatience)) {
        progress.Repeat();
        continue;
      }
      const EncodeJob& done = *jobs[pool.oldest()];
      encoder.AppendFrame(done.coded.bytes.data(), done.codedSize, done.sampleFrames);
      const uint64_t end = done.end;
      pool.Take();
      progress.AdvanceTo(end);
    }
  }
  encoder.Finish();
  progress.AdvanceTo(std::max(sourceSize, reader.consumed()));
}

namespace {

struct DecodeJob {
  std::string bytes;  // the frame as stored, CRC included
  uint32_t sampleFrames = 0;
  uint64_t end = 0;  // source position after the frame
  std::vector<int32_t> samples;
  std::vector<uint8_t> pcm;  // the frame as the WAV file stores it
};

void DecodeFrame(const AudioFormat& format, DecodeJob& job) {
  job.samples.resize(size_t{job.sampleFrames} * format.channels);
  MemorySource source(job.bytes);
  TtaDecoder decoder(source, StreamHeader{format, job.sampleFrames});
  decoder.Decode(job.samples.data(), job.sampleFrames);
  // The frame must fill exactly the bytes the seek table gives it.
  if (decoder.consumed() != job.bytes.size()) throw CodecError(Status::kMalformedData);
  job.pcm.resize(size_t{job.sampleFrames} * format.blockAlign());
  PackPcm(job.samples.data(), job.samples.size(), format.bytesPerSample(), job.pcm.data());
}

// Walks the stream's frames by the seek table.
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

  bool NextFits() const {
    return uint64_t{header_.frameLength()} * header_.format.channels <= kMaxBufferedFrameValues &&
           sizes_[next_] <= kMaxBufferedFrameBytes;
  }

  void Read(DecodeJob& job) {
    const uint32_t size = sizes_[next_++];
    // A frame that would run past the end of the file is truncated data; found before
    // anything is allocated for it.
    if (size > sourceSize_ - std::min(sourceSize_, position())) {
      throw CodecError(Status::kMalformedData);
    }
    job.bytes.resize(size);
    job.sampleFrames = TakeSamples();
    decoder_.ReadRawFrames(reinterpret_cast<uint8_t*>(job.bytes.data()), size, job.sampleFrames);
    job.end = position();
  }

  // Decodes the next frame as it is read, writing it out in blocks.
  void Stream(WavWriter& writer, Progress& progress) {
    const uint64_t end = position() + sizes_[next_++];
    std::vector<int32_t> block(kStreamBlock * header_.format.channels);
    for (uint32_t left = TakeSamples(); left > 0;) {
      const size_t n = decoder_.Decode(block.data(), std::min<size_t>(left, kStreamBlock));
      writer.Write(block.data(), n);
      left -= static_cast<uint32_t>(n);
      progress.AdvanceTo(std::min(position(), end));
    }
    if (position() != end) throw CodecError(Status::kMalformedData);
  }

 private:
  uint32_t TakeSamples() {
    const uint32_t taken = std::min(samplesLeft_, header_.frameLength());
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

}  // namespace

void DecodeTtaToWavInParallel(ByteSource& tta, uint64_t sourceSize, ByteSink& wav,
                              const ProgressFn& progressFn, ParallelOptions options) {
  TtaDecoder decoder(tta, TtaDecoder::SeekTable::kKeep);
  const StreamHeader& header = decoder.header();
  WavWriter writer(wav, header.format, header.sampleCount);
  FrameWalker frames(decoder, sourceSize);
  Progress progress(progressFn, sourceSize);
  progress.AdvanceTo(frames.position());

  const unsigned workers = WorkersFor(options);
  std::vector<DecodeJob> jobs(SlotsFor(workers));
  OrderedWorkers pool(workers, jobs.size(),
                      [&](size_t slot) { DecodeFrame(header.format, jobs[slot]); });
  for (;;) {
    while (!pool.full() && !frames.done() && frames.NextFits()) {
      frames.Read(jobs[pool.next()]);
      pool.Submit();
    }
    if (pool.empty()) {
      if (frames.done()) break;
      // A frame too large to hold: every frame before it has been written.
      frames.Stream(writer, progress);
      continue;
    }
    if (!pool.Wait(kPatience)) {
      progress.Repeat();
      continue;
    }
    const DecodeJob& done = jobs[pool.oldest()];
    writer.WritePcm(done.pcm.data(), done.pcm.size());
    const uint64_t end = done.end;
    pool.Take();
    progress.AdvanceTo(end);
  }
  writer.Finish();
  progress.AdvanceTo(std::max(sourceSize, frames.position()));
}

}  // namespace tta
