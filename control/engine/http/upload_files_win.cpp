#include "control/engine/http/upload_files_win.h"

#include <algorithm>
#include <climits>

namespace zorvel {
namespace {

HANDLE OpenShared(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

}  // namespace

long long MeasureUploadFile(const std::string& path) {
  HANDLE file = OpenShared(path);
  if (file == INVALID_HANDLE_VALUE) return -1;
  LARGE_INTEGER size{};
  const bool measured = GetFileSizeEx(file, &size) != FALSE;
  CloseHandle(file);
  return measured ? size.QuadPart : -1;
}

DWORD UploadFile::Open(const std::string& path, long listedSize, long long& actualSize) {
  Close();
  actualSize = -1;
  file_ = OpenShared(path);
  if (file_ == INVALID_HANDLE_VALUE) return error_ = GetLastError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file_, &size)) return error_ = GetLastError();
  actualSize = size.QuadPart;
  if (actualSize != listedSize) return error_ = ERROR_FILE_INVALID;
  if (listedSize >= 1 && listedSize <= kMappedLimit) {
    mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping_) return error_ = GetLastError();
    view_ = static_cast<const char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
    if (!view_) return error_ = GetLastError();
  }
  return error_ = 0;
}

const char* UploadFile::Take(long offset, long length, long& ready) {
  ready = 0;
  if (view_) {
    ready = length;
    return view_ + offset;
  }
  // One read for the whole stretch: under Wine each read costs more than its bytes.
  DWORD got = 0;
  if (ReadFile(file_, buffer_.data(), static_cast<DWORD>(length), &got, nullptr) &&
      static_cast<long>(got) == length) {
    ready = length;
    return buffer_.data();
  }
  // Short or failed: read it again block by block, so that the blocks before the failure still
  // go out as they would on their own.
  LARGE_INTEGER position{};
  position.QuadPart = offset;
  if (!SetFilePointerEx(file_, position, nullptr, FILE_BEGIN)) {
    error_ = GetLastError();
    return buffer_.data();
  }
  while (ready < length) {
    const long block = std::min(kBlockBytes, length - ready);
    for (long done = 0; done < block;) {
      DWORD read = 0;
      if (!ReadFile(file_, buffer_.data() + ready + done, static_cast<DWORD>(block - done), &read,
                    nullptr)) {
        error_ = GetLastError();
        return buffer_.data();
      }
      if (read == 0) {
        // The file was cut while it was being sent.
        error_ = ERROR_HANDLE_EOF;
        return buffer_.data();
      }
      done += static_cast<long>(read);
    }
    ready += block;
  }
  return buffer_.data();
}

void UploadFile::Close() {
  if (view_) UnmapViewOfFile(view_);
  if (mapping_) CloseHandle(mapping_);
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  view_ = nullptr;
  mapping_ = nullptr;
  file_ = INVALID_HANDLE_VALUE;
}

}  // namespace zorvel
