// Whole conversions between WAV and TTA1 streams, in blocks small enough to report progress
// often and to stop soon when asked.
#pragma once

#include <cstdint>
#include <functional>

#include "components/tta/byte_stream.h"

namespace tta {

// Told how many bytes of the source have been processed; returns false to stop the
// conversion, which then throws CodecError(kCancelled).
using ProgressFn = std::function<bool(uint64_t position)>;

// `sourceSize` is the source's length in bytes: the last progress report names it.
// Failures throw CodecError.
void EncodeWavToTta(ByteSource& wav, uint64_t sourceSize, ByteSink& tta,
                    const ProgressFn& progress);
void DecodeTtaToWav(ByteSource& tta, uint64_t sourceSize, ByteSink& wav,
                    const ProgressFn& progress);

}  // namespace tta
