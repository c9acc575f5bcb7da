// The file list: adding entries from a file list text (files, folders, patterns), reading them
// back, deleting by double-click and emptying.
#include <cstdint>
#include <cstdio>

#include "control/object/module_win.h"
#include "control/object/zorvex_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/window/control_window_win.h"
#include "control/window/file_entry_text.h"

namespace zorvel {
namespace {

// The file's size, or none when it cannot be opened. Other programs may hold it open for
// writing (a recorder still closing it), so the control shares both ways.
std::optional<long long> MeasureFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size{};
  const bool measured = GetFileSizeEx(file, &size) != FALSE;
  CloseHandle(file);
  if (!measured) return std::nullopt;
  return size.QuadPart;
}

// The list box keeps its texts in UTF-16, which cannot hold every byte an alias may carry
// (UTF-8 or EUC-JP names are not Shift_JIS). Each item therefore carries its exact bytes as
// item data; the shown text is only for the eye.
std::string* EntryBytes(HWND list, int index) {
  const LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  return data == LB_ERR ? nullptr : reinterpret_cast<std::string*>(data);
}

std::string ListText(HWND list, int index) {
  const std::string* bytes = EntryBytes(list, index);
  return bytes ? *bytes : std::string();
}

void ForgetEntryBytes(HWND list) {
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) {
    delete EntryBytes(list, i);
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(i), 0);
  }
}

}  // namespace

bool ControlWindow::IsListed(std::string_view path) {
  const LRESULT count = SendMessageA(list_, LB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) {
    if (StartsWithIgnoreCase(ListText(list_, i), path)) return true;
  }
  return false;
}

void ControlWindow::ShowStatus(UINT format, std::string_view path) {
  char text[2048 + 256];
  std::snprintf(text, sizeof text, LoadAnsiString(format).c_str(), std::string(path).c_str());
  control_.StatusText = text;
  DrawLabel(TextArea::kStatus, control_.StatusText);
}

bool ControlWindow::WouldExceedMaxSize(long long size) {
  if (control_.MaxSizeBytes <= 0 || control_.Size + size <= control_.MaxSizeBytes) return false;
  char text[256];
  std::snprintf(text, sizeof text, LoadAnsiString(IDS_SIZE_OVER).c_str(),
                static_cast<int>(control_.MaxSizeBytes / 1024));
  control_.StatusText = text;
  DrawLabel(TextArea::kStatus, control_.StatusText);
  return true;
}

void ControlWindow::AddEntry(const std::string& text, long long size) {
  const LRESULT index =
      SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index == LB_ERR || index == LB_ERRSPACE) return;
  SendMessageA(list_, LB_SETITEMDATA, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(new std::string(text)));
  control_.Count += 1;
  control_.Size += static_cast<long>(size);
}

bool ControlWindow::AddNamedFile(const std::string& path, const std::optional<std::string>& alias) {
  if (IsListed(path)) return true;
  const std::optional<long long> size = MeasureFile(path);
  // Size is a 32-bit count: a file that would carry it past its range cannot be listed.
  if (!size || *size > INT32_MAX - static_cast<long long>(control_.Size)) {
    ShowStatus(IDS_ACCESS_ERROR, path);
    return false;
  }
  if (*size == 0) {
    ShowStatus(IDS_EMPTY_FILE, path);
    return false;
  }
  if (WouldExceedMaxSize(*size)) return false;
  AddEntry(BuildEntryText(path, alias, false, control_.CharsetCode), *size);
  return true;
}

bool ControlWindow::AddFolder(const std::string& path, const std::optional<std::string>& alias,
                              bool isDirectory) {
  const std::optional<FolderPattern> pattern = MakeFolderPattern(path, isDirectory);
  if (!pattern) return false;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern->pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return true;
  bool keepGoing = true;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || found.cFileName[0] == '.') continue;
    const std::string fullPath = pattern->directory + found.cFileName;
    if (IsListed(fullPath)) continue;
    const std::optional<long long> size = MeasureFile(fullPath);
    if (!size || *size == 0 || *size > INT32_MAX - static_cast<long long>(control_.Size)) continue;
    if (WouldExceedMaxSize(*size)) {
      keepGoing = false;
      break;
    }
    AddEntry(BuildEntryText(fullPath, alias, true, control_.CharsetCode), *size);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return keepGoing;
}

bool ControlWindow::AddOneEntry(const std::string& entry, EntryResolver& resolver) {
  // An empty entry ("", ";;", a trailing ";") names no file: resolved, it would be the
  // current folder or the drive's root, and every file there would go out.
  if (EntryPath(entry).empty()) return true;
  const EntryTarget target = resolver.Resolve(entry, control_.CharsetCode);
  const DWORD attributes = GetFileAttributesA(target.path.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  const bool isDirectory = exists && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  return exists && !isDirectory ? AddNamedFile(target.path, target.alias)
                                : AddFolder(target.path, target.alias, isDirectory);
}

void ControlWindow::AddFileEntries(std::string_view listText) {
  if (!window_) return;
  EntryResolver resolver;
  for (const std::string& entry : SplitEntries(listText)) {
    if (!AddOneEntry(entry, resolver)) return;
  }
  control_.StatusText.clear();
}

void ControlWindow::AddDroppedFile(const std::string& path) {
  if (!window_) return;
  EntryResolver resolver;
  if (AddOneEntry(path, resolver)) control_.StatusText.clear();
}

std::vector<std::string> ControlWindow::ReadEntries() {
  std::vector<std::string> entries;
  if (!window_) return entries;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  const LRESULT count = SendMessageA(list_, LB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) {
    SendMessageA(list_, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
    entries.push_back(ListText(list_, i));
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  return entries;
}

int ControlWindow::EntryCount() const {
  return list_ ? static_cast<int>(SendMessageA(list_, LB_GETCOUNT, 0, 0)) : 0;
}

std::string ControlWindow::EntryText(int index) const { return ListText(list_, index); }

void ControlWindow::SelectEntry(int index) {
  if (list_) SendMessageA(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ControlWindow::SuspendListRedraw(bool suspend) {
  if (list_) SendMessageW(list_, WM_SETREDRAW, suspend ? FALSE : TRUE, 0);
}

void ControlWindow::DeleteSelectedEntry() {
  if (control_.Busy) return;
  const LRESULT selected = SendMessageA(list_, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR) return;
  const std::string text = ListText(list_, static_cast<int>(selected));
  control_.Count -= 1;
  if (auto size = MeasureFile(std::string(EntryPath(text))))
    control_.Size -= static_cast<long>(*size);
  // A file that grew since it was added must not leave a negative total behind.
  if (control_.Size < 0 || control_.Count == 0) control_.Size = 0;
  delete EntryBytes(list_, static_cast<int>(selected));
  SendMessageA(list_, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
  UpdateFileCount();
}

void ControlWindow::EmptyList() {
  if (list_) {
    ForgetEntryBytes(list_);
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
  }
  control_.Count = 0;
  control_.Size = 0;
}

}  // namespace zorvel
