// The files of an upload as the run reads them: measured when the item table is built, then
// opened in their turn and handed out block by block.
#pragma once

#include <windows.h>

#include <array>
#include <string>

namespace zorvel {

// The file's size, -1 when it cannot be opened (or is too large to count). Other programs may
// hold it open for writing, so it is shared both ways.
long MeasureUploadFile(const std::string& path);

// One file at a time; files up to 8 MB are read from a read-only mapping, larger ones through
// one 8192-byte buffer, so memory does not grow with the file.
class UploadFile {
 public:
  static constexpr long kMappedLimit = 8L * 1024 * 1024;
  static constexpr long kBlockBytes = 8000;

  UploadFile() = default;
  ~UploadFile() { Close(); }
  UploadFile(const UploadFile&) = delete;
  UploadFile& operator=(const UploadFile&) = delete;

  // 0, or the Win32 error; ERROR_FILE_INVALID when the size is no longer `listedSize` (the
  // index and Content-Length already announced would be wrong). `actualSize` is what the file
  // holds now (-1 when it could not be opened).
  DWORD Open(const std::string& path, long listedSize, long long& actualSize);
  // `length` (at most kBlockBytes) bytes at `offset`, read in sequence; null on failure, with
  // the error in LastError().
  const char* Block(long offset, long length);
  DWORD LastError() const { return error_; }
  void Close();

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  HANDLE mapping_ = nullptr;
  const char* view_ = nullptr;
  DWORD error_ = 0;
  std::array<char, 8192> buffer_{};
};

}  // namespace zorvel
