// TTA_VB.dll: the codec library the application binds by name. Paths arrive as ANSI strings;
// the progress callback is called on the caller's thread with the source bytes processed so
// far and the cancel flag's address, and a zero from it stops the conversion (result 9).
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "components/tta/file_transcode.h"

namespace {

using TtaProgressProc = LONG(__stdcall*)(LONG position, SHORT* cancel);

tta::ProgressFn CallbackProgress(TtaProgressProc callback, SHORT* cancel) {
  if (callback == nullptr) {
    // Without a callback the flag itself is the only way to ask for a stop.
    if (cancel == nullptr) return nullptr;
    return [cancel](uint64_t) { return *cancel == 0; };
  }
  return [callback, cancel](uint64_t position) {
    // The caller compares positions as signed 32-bit numbers.
    const LONG clamped = static_cast<LONG>(std::min<uint64_t>(position, 0x7FFFFFFF));
    return callback(clamped, cancel) != 0;
  };
}

LONG Run(tta::Status (*convert)(const std::string&, const std::string&, const tta::ProgressFn&),
         LPCSTR source, LPCSTR output, TtaProgressProc callback, SHORT* cancel) {
  if (source == nullptr || output == nullptr) {
    return static_cast<LONG>(tta::Status::kInvalidArguments);
  }
  return static_cast<LONG>(convert(source, output, CallbackProgress(callback, cancel)));
}

}  // namespace

extern "C" {

LONG __stdcall Enc_WavToTTA(LPCSTR wavPath, LPCSTR ttaPath, TtaProgressProc progress,
                            SHORT* cancel) {
  return Run(tta::EncodeFile, wavPath, ttaPath, progress, cancel);
}

LONG __stdcall Dec_TTAToWav(LPCSTR ttaPath, LPCSTR wavPath, TtaProgressProc progress,
                            SHORT* cancel) {
  return Run(tta::DecodeFile, ttaPath, wavPath, progress, cancel);
}

}  // extern "C"
