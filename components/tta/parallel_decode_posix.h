// Decoding on two threads for the native tool. TTA1 frames are independent, so runs of frames
// are decoded side by side and written in order. TTA_VB.dll keeps the single-threaded path.
#pragma once

#include <cstdint>
#include <string>

#include "components/tta/byte_stream.h"
#include "components/tta/status.h"
#include "components/tta/transcode.h"

namespace tta {

// Same contract and output as DecodeTtaToWav; in addition a seek table that disagrees with
// the frames it describes is damage (kMalformedData).
void DecodeTtaToWavInParallel(ByteSource& tta, uint64_t sourceSize, ByteSink& wav,
                              const ProgressFn& progress);

// As DecodeFile, through DecodeTtaToWavInParallel.
Status DecodeFileInParallel(const std::string& ttaPath, const std::string& wavPath,
                            const ProgressFn& progress);

}  // namespace tta
