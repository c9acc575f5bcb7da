// The outside TTA codec, TTA_VB.dll, bound by name at its first call, and the progress callback
// with its counters that the upload window's compression and the download window's decompression
// share. Only one compression or decompression runs in the program at a time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace basMain {

inline int32_t lngTtaUnit = 1;  // source bytes per progress step of the current file
inline int16_t intTtaStep = 1;  // progress steps reached for the current file

// Called by the codec as it works: lets the window's messages through, counts the steps, and
// answers 0 (stop) once the flag at `cancel` is set, -1 (go on) otherwise.
LONG __stdcall TtaProgressProc(LONG position, SHORT* cancel);

// Readies the counters for a file of `sourceBytes`.
void StartTtaProgress(int64_t sourceBytes);

}  // namespace basMain

// The codec's answers the callers tell apart; any other value is a failure.
inline constexpr int32_t kTtaDone = 0;
inline constexpr int32_t kTtaStopped = 9;

// The codec's two entry points, called with the paths in the ANSI code page and TtaProgressProc as
// the callback. A library or entry point that cannot be found raises AppError.
namespace tta_vb {
int32_t Enc_WavToTTA(const std::u16string& wavPath, const std::u16string& ttaPath, int16_t* cancel);
int32_t Dec_TTAToWav(const std::u16string& ttaPath, const std::u16string& wavPath, int16_t* cancel);

}  // namespace tta_vb
