// Conversions between files, as TTA_VB.dll and the native tool offer them. On any failure
// or cancel no output file is left.
#pragma once

#include <string>

#include "components/tta/status.h"
#include "components/tta/transcode.h"

namespace tta {

Status EncodeFile(const std::string& wavPath, const std::string& ttaPath,
                  const ProgressFn& progress);
Status DecodeFile(const std::string& ttaPath, const std::string& wavPath,
                  const ProgressFn& progress);

}  // namespace tta
