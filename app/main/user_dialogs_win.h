// The dialogs the application asks the user through. Production shows the system's own; tests
// install a scripted implementation that records what was shown and answers from a queue.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

struct OpenFileRequest {
  std::u16string title;
  std::u16string filter;  // "description|pattern|..." pairs, as the file dialogs are described
  bool hideReadOnly = true;
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;

  // A message box; returns the button chosen (IDOK, IDYES, IDNO ...).
  virtual int ShowMessage(HWND owner, std::u16string_view text, std::u16string_view caption,
                          UINT style) = 0;

  // The shell's folder browser with `initialFolder` selected; nothing when cancelled.
  virtual std::optional<std::u16string> BrowseForFolder(HWND owner, std::u16string_view title,
                                                        std::u16string_view initialFolder) = 0;

  // The file-open dialog for one file; its full path, or nothing when cancelled.
  virtual std::optional<std::u16string> OpenFile(HWND owner, const OpenFileRequest& request) = 0;
};

// The dialogs in effect: the system's unless a test installed its own.
UserDialogs& Dialogs();

// Installs `dialogs` for the lifetime of this object.
class ScopedUserDialogs {
 public:
  explicit ScopedUserDialogs(UserDialogs& dialogs);
  ~ScopedUserDialogs();
  ScopedUserDialogs(const ScopedUserDialogs&) = delete;
  ScopedUserDialogs& operator=(const ScopedUserDialogs&) = delete;

 private:
  UserDialogs* previous_;
};

// A message box with the application title and an OK button.
void ShowAppMessage(std::u16string_view text, UINT icon, HWND owner = nullptr);
