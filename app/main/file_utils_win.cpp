#include "app/main/file_utils_win.h"

#include <memory>

#include "app/main/app_error_win.h"
#include "app/main/bas_main.h"
#include "app/main/show_error_message_win.h"
#include "app/main/text_limits.h"
#include "app/main/url_encode.h"
#include "app/main/user_dialogs_win.h"
#include "base/ansi.h"

namespace {

std::wstring WidePath(std::u16string_view path) {
  return std::wstring(path.begin(), path.end());
}

std::u16string FromWide(const wchar_t* text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text));
}

int64_t SizeOf(const WIN32_FIND_DATAW& data) {
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool IsNotFound(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH || error == ERROR_NOT_READY ||
         error == ERROR_INVALID_DRIVE || error == ERROR_BAD_PATHNAME;
}

class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// The temporary path is asked for with a buffer of this many bytes, as the installation did.
constexpr DWORD kTempPathBufferSize = 255;
// Short paths are given back only when they fit this many bytes, NUL included.
constexpr size_t kShortPathBufferSize = 1000;

}  // namespace

bool CheckFileExist(std::u16string_view path) {
  return WithErrorTrap(u"CheckFileExist", false, [&] {
    // Attributes rather than a directory search, so that wildcards in the path match nothing.
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const DWORD error = GetLastError();
      if (IsNotFound(error)) return false;
      throw Win32Error(error);
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  });
}

void GetTempDirPath() {
  WithErrorTrap(u"GetTempDirPath", false, [] {
    char buffer[kTempPathBufferSize] = {};
    const DWORD length = GetTempPathA(sizeof buffer, buffer);
    if (length == 0) throw LastWin32Error();
    if (length >= sizeof buffer) throw Win32Error(ERROR_INSUFFICIENT_BUFFER);
    const std::string_view text(buffer, length);
    basMain::strTempDir = base::FromAnsi(text.substr(0, text.find('\0')));
    return true;
  });
}

bool GetDirectoryFileInfo(std::u16string_view folder, FileCollection& files) {
  return WithErrorTrap(u"GetDirectoryFileInfo", false, [&] {
    std::u16string prefix(folder);
    if (!prefix.empty() && prefix.back() != u'\\' && prefix.back() != u'/') prefix += u'\\';
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(WidePath(prefix + u"*").c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE) {
      // An empty drive root has no entries at all, not even "." and "..".
      if (GetLastError() == ERROR_FILE_NOT_FOUND) return true;
      throw LastWin32Error();
    }
    do {
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      const int64_t size = SizeOf(data);
      if (size > kOneGigabyte) continue;
      auto file = std::make_shared<clsFile>();
      file->FileName = FromWide(data.cFileName);
      file->FilePath = prefix + file->FileName;
      file->FileSize = static_cast<int32_t>(size);
      files.push_back(std::move(file));
    } while (FindNextFileW(find.get(), &data));
    if (GetLastError() != ERROR_NO_MORE_FILES) throw LastWin32Error();
    return true;
  });
}

std::u16string SelectFolder(HWND owner, std::u16string_view title,
                            std::u16string_view initialFolder) {
  auto chosen = Dialogs().BrowseForFolder(owner, title, initialFolder);
  return chosen ? *chosen : std::u16string(initialFolder);
}

FoundFile FindFileData(std::u16string_view path) {
  WIN32_FIND_DATAW data;
  FindHandle find(FindFirstFileW(WidePath(path).c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) {
    throw AppError(app_errors::kFileNotFound, u"ファイルが見つかりません。");
  }
  return FoundFile{FromWide(data.cFileName), SizeOf(data)};
}

std::u16string GetTempFilePath(std::u16string_view path) {
  return basMain::strTempDir + URLEncodeSJIS(FindFileData(path).name);
}

std::u16string GetShortFilePath(std::u16string_view path) {
  const std::wstring longPath = WidePath(path);
  const DWORD needed = GetShortPathNameW(longPath.c_str(), nullptr, 0);
  if (needed == 0) return {};
  std::wstring buffer(needed, L'\0');
  const DWORD length = GetShortPathNameW(longPath.c_str(), buffer.data(), needed);
  if (length == 0 || length >= needed) return {};
  std::u16string shortPath(buffer.begin(), buffer.begin() + length);
  if (base::ToAnsi(shortPath).size() >= kShortPathBufferSize) return {};
  return shortPath;
}

bool ChkNumberOfBases(HWND control, int16_t limit) {
  if (control == nullptr) return true;
  return WithErrorTrap(u"ChkNumberOfBases", false, [&] {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    return IsShorterThan(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()),
                                             static_cast<size_t>(copied)),
                         limit);
  });
}

std::u16string ProgramFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) throw LastWin32Error();
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  const size_t slash = buffer.find_last_of(L"\\/");
  return std::u16string(buffer.begin(), buffer.begin() + (slash == std::wstring::npos ? 0 : slash));
}

namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {
    if (handle_ == INVALID_HANDLE_VALUE) throw LastWin32Error();
  }
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }
  void Close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::string ReadWholeFile(std::u16string_view path) {
  FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  char chunk[65536];
  DWORD read = 0;
  do {
    if (!ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr)) throw LastWin32Error();
    bytes.append(chunk, read);
  } while (read > 0);
  return bytes;
}

void ReplaceFileContent(std::u16string_view path, std::string_view bytes) {
  const std::wstring target = WidePath(path);
  const std::wstring staging = target + L".new";
  SetFileAttributesW(staging.c_str(), FILE_ATTRIBUTE_NORMAL);
  try {
    FileHandle file(CreateFileW(staging.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!bytes.empty() && (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                      &written, nullptr) ||
                           written != bytes.size())) {
      throw LastWin32Error();
    }
    if (!FlushFileBuffers(file.get())) throw LastWin32Error();
    file.Close();
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileExW(staging.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      throw LastWin32Error();
    }
  } catch (...) {
    DeleteFileW(staging.c_str());
    throw;
  }
}
