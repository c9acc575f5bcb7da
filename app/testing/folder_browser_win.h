// The shell's folder browser worked from outside, as a user works it.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

// A folder of its own on the desktop, the first level the folder browser shows, where a user
// picks it by typing its name.
class DesktopFolder {
 public:
  DesktopFolder();
  ~DesktopFolder();
  DesktopFolder(const DesktopFolder&) = delete;
  DesktopFolder& operator=(const DesktopFolder&) = delete;

  const std::wstring& name() const { return name_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::wstring name_;
  std::filesystem::path path_;
};

// Selects the item `name` in the browser's folder tree by typing it, as a user would, and
// presses OK; when the selection is another folder it cancels rather than write there.
void ChooseByTyping(HWND browser, DWORD processId, const std::wstring& name);
