// File and folder routines of the main module.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "app/forward/cls_file_win.h"

// Files of up to this size are taken from a folder; the whole forward must stay below it.
inline constexpr int64_t kOneGigabyte = 1073741824;

// True when a file (not a folder) of that path exists.
bool CheckFileExist(std::u16string_view path);

// Sets basMain::strTempDir to the user's temporary directory.
void GetTempDirPath();

// Appends the folder's own files of at most 1 GB to `files`, in the file system's order.
bool GetDirectoryFileInfo(std::u16string_view folder, FileCollection& files);

// The shell's folder browser; the initial folder when the user cancels.
std::u16string SelectFolder(HWND owner, std::u16string_view title,
                            std::u16string_view initialFolder);

// basMain::strTempDir followed by the encoded name of the existing file at `path`.
std::u16string GetTempFilePath(std::u16string_view path);

// The short (8.3) form of an existing path; empty when the system has none.
std::u16string GetShortFilePath(std::u16string_view path);

// True when the byte length of the control's text is less than `limit`; true without a control.
bool ChkNumberOfBases(HWND control, int16_t limit);

struct FoundFile {
  std::u16string name;  // as the file system reports it
  int64_t size = 0;
};

// The directory entry of an existing path; raises an AppError when there is none.
FoundFile FindFileData(std::u16string_view path);

// The folder of the program file, without a trailing backslash.
std::u16string ProgramFolder();

// The whole content of a file; raises an AppError when it cannot be read.
std::string ReadWholeFile(std::u16string_view path);

// Writes `bytes` as the file at `path` without ever leaving a partial file there: the bytes go
// to a file beside it first, which then replaces the old one (also a read-only one).
void ReplaceFileContent(std::u16string_view path, std::string_view bytes);
