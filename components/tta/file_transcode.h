// Conversions between files, as TTA_VB.dll and the native tool offer them. On any failure
// or cancel no output file is left.
#pragma once

#include <string>

#include "components/tta/status.h"
#include "components/tta/transcode.h"

namespace tta {

// Runs `convert` from the file at `sourcePath` into a new file at `outputPath`, which is only
// kept when the conversion succeeds.
using Conversion = void (*)(ByteSource&, uint64_t, ByteSink&, const ProgressFn&);
Status ConvertFile(Conversion convert, const std::string& sourcePath, const std::string& outputPath,
                   const ProgressFn& progress);

// Frames are coded on worker threads; progress is reported on the calling thread.
Status EncodeFile(const std::string& wavPath, const std::string& ttaPath,
                  const ProgressFn& progress);
Status DecodeFile(const std::string& ttaPath, const std::string& wavPath,
                  const ProgressFn& progress);

}  // namespace tta
