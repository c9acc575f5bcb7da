#include <windows.h>

#include "base/replacing_file_win.h"
#include "components/tta/file_stream.h"
#include "components/tta/status.h"

namespace tta {
namespace {

class WinInputFile : public InputFile {
 public:
  WinInputFile(HANDLE handle, uint64_t size, const BY_HANDLE_FILE_INFORMATION& identity)
      : handle_(handle), size_(size), identity_(identity) {}
  ~WinInputFile() override { CloseHandle(handle_); }

  size_t Read(uint8_t* data, size_t size) override {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(size > 0x40000000 ? 0x40000000 : size);
    if (!ReadFile(handle_, data, want, &got, nullptr)) throw CodecError(Status::kReadFailed);
    return got;
  }
  uint64_t size() const override { return size_; }
  const BY_HANDLE_FILE_INFORMATION& identity() const { return identity_; }

 private:
  HANDLE handle_;
  uint64_t size_;
  BY_HANDLE_FILE_INFORMATION identity_;
};

class WinOutputFile : public OutputFile {
 public:
  WinOutputFile(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  ~WinOutputFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) {
      CloseHandle(handle_);
      DeleteFileA(path_.c_str());
    }
  }

  void Write(const uint8_t* data, size_t size) override {
    while (size > 0) {
      const DWORD want = static_cast<DWORD>(size > 0x40000000 ? 0x40000000 : size);
      DWORD put = 0;
      if (!WriteFile(handle_, data, want, &put, nullptr) || put == 0) {
        throw CodecError(Status::kOutputNotWritable);
      }
      data += put;
      size -= put;
    }
  }
  void WriteAt(uint64_t offset, const uint8_t* data, size_t size) override {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    LARGE_INTEGER end{};
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(handle_, zero, &end, FILE_CURRENT) ||
        !SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN)) {
      throw CodecError(Status::kOutputNotWritable);
    }
    Write(data, size);
    if (!SetFilePointerEx(handle_, end, nullptr, FILE_BEGIN)) {
      throw CodecError(Status::kOutputNotWritable);
    }
  }
  void Commit() override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle)) {
      DeleteFileA(path_.c_str());
      throw CodecError(Status::kOutputNotWritable);
    }
  }

 private:
  HANDLE handle_;
  std::string path_;
};

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

std::unique_ptr<InputFile> OpenInputFile(const std::string& path) {
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw CodecError(Status::kSourceMissing);
  LARGE_INTEGER size;
  BY_HANDLE_FILE_INFORMATION identity;
  if (!GetFileSizeEx(handle, &size) || !GetFileInformationByHandle(handle, &identity) ||
      (identity.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    CloseHandle(handle);
    throw CodecError(Status::kSourceMissing);
  }
  return std::make_unique<WinInputFile>(handle, static_cast<uint64_t>(size.QuadPart), identity);
}

std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path, const InputFile& source) {
  const auto& sourceIdentity = static_cast<const WinInputFile&>(source).identity();
  const HANDLE existing =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  if (existing != INVALID_HANDLE_VALUE) {
    BY_HANDLE_FILE_INFORMATION identity;
    const bool same =
        GetFileInformationByHandle(existing, &identity) && SameFile(identity, sourceIdentity);
    CloseHandle(existing);
    if (same) throw CodecError(Status::kInvalidArguments);
  }
  const HANDLE handle = base::CreateReplacingFile(path.c_str(), GENERIC_WRITE, 0);
  if (handle == INVALID_HANDLE_VALUE) throw CodecError(Status::kOutputNotWritable);
  return std::make_unique<WinOutputFile>(handle, path);
}

}  // namespace tta
