// Dialogs for tests: every message box is recorded, and answers come from queues.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/main/user_dialogs_win.h"

struct ShownMessage {
  std::u16string text;
  std::u16string caption;
  UINT style = 0;
  HWND owner = nullptr;

  UINT icon() const { return style & MB_ICONMASK; }
  UINT buttons() const { return style & MB_TYPEMASK; }
};

class ScriptedDialogs : public UserDialogs {
 public:
  // Installs itself for its lifetime.
  ScriptedDialogs() : scope_(*this) {}

  int ShowMessage(HWND owner, std::u16string_view text, std::u16string_view caption,
                  UINT style) override;
  std::optional<std::u16string> BrowseForFolder(HWND owner, std::u16string_view title,
                                                std::u16string_view initialFolder) override;
  std::optional<std::u16string> OpenFile(HWND owner, const OpenFileRequest& request) override;

  std::vector<ShownMessage> messages;
  std::vector<std::u16string> folderBrowserTitles;
  std::vector<OpenFileRequest> openFileRequests;

  // Answers, taken in order. A message box without a queued answer gets IDOK; a folder browser
  // or file dialog without one is cancelled.
  std::deque<int> messageAnswers;
  std::deque<std::optional<std::u16string>> folderAnswers;
  std::deque<std::optional<std::u16string>> fileAnswers;

 private:
  ScopedUserDialogs scope_;
};
