// Conversions with TTA1 frames coded side by side on worker threads. Frames are independent, so
// the calling thread reads the source, hands out whole frames and writes their results in order.
// Every progress report is made on the calling thread, in order, positions never going back; a
// report that asks to stop is answered within one frame's coding time. Frames in flight are
// bounded, so memory does not grow with the file.
#pragma once

#include <cstdint>

#include "components/tta/byte_stream.h"
#include "components/tta/transcode.h"

namespace tta {

struct ParallelOptions {
  unsigned workers = 0;  // 0: one per processor
};

// Same contract and output as EncodeWavToTta.
void EncodeWavToTtaInParallel(ByteSource& wav, uint64_t sourceSize, ByteSink& tta,
                              const ProgressFn& progress, ParallelOptions options = {});

// Same contract and output as DecodeTtaToWav; in addition a seek table that disagrees with the
// frames it describes is damage (kMalformedData).
void DecodeTtaToWavInParallel(ByteSource& tta, uint64_t sourceSize, ByteSink& wav,
                              const ProgressFn& progress, ParallelOptions options = {});

}  // namespace tta
