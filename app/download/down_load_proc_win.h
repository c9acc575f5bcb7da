// The download function W3getv of Parvek.dll, bound by name at its first call, and the two
// callbacks it reports through, with the application-wide counters they share with the download
// window. One application run downloads one descriptor.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace basMain {

enum class DownPhase : int32_t { kNotStarted = 0, kSizeProbe = 1, kDownload = 2 };

// What a download run shares between the callbacks and the download window.
struct DownCounters {
  DownPhase lngDownPhase = DownPhase::kNotStarted;
  // Sums over several files pass 2 GB: they are kept in 64 bits.
  int64_t lngTotalBytes = 0;     // sum of the sizes the probe reported
  int64_t lngDoneBytes = 0;      // sum of the final byte counts of downloaded files
  int64_t lngFileBytes = 0;      // bytes received so far of the file being downloaded
  int32_t lngCallbackCount = 0;  // download callbacks since the download pass began
  int32_t lngDownCancel = 0;     // what the callbacks answer; nonzero stops the request
};
inline DownCounters down;

using DownLoadCallback = LONG(__stdcall*)(LONG bytes, LPCSTR text);

// The probe's callback: counts the size and stops the request at once. A negative count, which
// no size is, counts as 0 here and in the download's callback.
LONG __stdcall GetFileSizeProc(LONG bytes, LPCSTR text);
// The download's callback: after its first call, the bytes of the file so far.
LONG __stdcall DownLoadProc(LONG bytes, LPCSTR text);

}  // namespace basMain

namespace parvek {

// Runs one request of `commandText` (sent in the ANSI code page). A library or entry point that
// cannot be found raises AppError.
int32_t W3getv(const std::u16string& commandText, basMain::DownLoadCallback callback);

}  // namespace parvek
