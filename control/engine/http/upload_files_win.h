// The files of an upload as the run reads them: measured when the item table is built, then
// opened in their turn and handed out block by block.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "control/engine/http/write_stretch.h"

namespace zorvel {

// The file's size, -1 when it cannot be opened. Other programs may hold it open for writing, so
// it is shared both ways.
long long MeasureUploadFile(const std::string& path);

// One file at a time; files up to 8 MB are read from a read-only mapping, larger ones in
// sequence through one buffer of the largest write (1 MB), so memory does not grow with the file.
class UploadFile {
 public:
  static constexpr long kMappedLimit = 8L * 1024 * 1024;
  static constexpr long kBlockBytes = 8000;
  // What one socket write carries at most: the blocks go out several at a time, and each is
  // still accounted on its own.
  static constexpr long kGatherBytes = kBlockBytes * WriteStretch::kMostBlocks;

  UploadFile() : buffer_(kGatherBytes) {}
  ~UploadFile() { Close(); }
  UploadFile(const UploadFile&) = delete;
  UploadFile& operator=(const UploadFile&) = delete;

  // 0, or the Win32 error; ERROR_FILE_INVALID when the size is no longer `listedSize` (the
  // index and Content-Length already announced would be wrong). `actualSize` is what the file
  // holds now (-1 when it could not be opened).
  DWORD Open(const std::string& path, long listedSize, long long& actualSize);
  // `length` (at most kGatherBytes) bytes at `offset`, read in sequence. `ready` tells how many
  // are there: fewer than asked for when a read failed, the whole blocks before the failure, with
  // the error in LastError().
  const char* Take(long offset, long length, long& ready);
  DWORD LastError() const { return error_; }
  void Close();

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  HANDLE mapping_ = nullptr;
  const char* view_ = nullptr;
  DWORD error_ = 0;
  std::vector<char> buffer_;
};

}  // namespace zorvel
