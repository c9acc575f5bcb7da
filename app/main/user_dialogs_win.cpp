#include "app/main/user_dialogs_win.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "app/main/error_report.h"
#include "base/ansi.h"

namespace {

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Selects the initial folder once the browser reports that it is ready.
int CALLBACK BrowseCallbackProc(HWND window, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED) {
    SendMessageA(window, BFFM_SETSELECTIONA, TRUE, data);
  }
  return 0;
}

class SystemDialogs : public UserDialogs {
 public:
  int ShowMessage(HWND owner, std::u16string_view text, std::u16string_view caption,
                  UINT style) override {
    const std::u16string textZ(text);
    const std::u16string captionZ(caption);
    return MessageBoxW(owner, Wide(textZ), Wide(captionZ), style);
  }

  std::optional<std::u16string> BrowseForFolder(HWND owner, std::u16string_view title,
                                                std::u16string_view initialFolder) override {
    const std::u16string titleZ(title);
    const std::string initialAnsi = base::ToAnsi(initialFolder);
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = Wide(titleZ);
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallbackProc;
    info.lParam = reinterpret_cast<LPARAM>(initialAnsi.c_str());
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    if (item == nullptr) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    const BOOL converted = SHGetPathFromIDListW(item, path);
    CoTaskMemFree(item);
    if (!converted) return std::u16string();
    return std::u16string(reinterpret_cast<const char16_t*>(path));
  }

  std::optional<std::u16string> OpenFile(HWND owner, const OpenFileRequest& request) override {
    // The dialog wants its filter pairs separated by NULs and ended by two.
    std::u16string filter = request.filter;
    for (char16_t& unit : filter) {
      if (unit == u'|') unit = u'\0';
    }
    filter.push_back(u'\0');
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = Wide(filter);
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = Wide(request.title);
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
                   (request.hideReadOnly ? OFN_HIDEREADONLY : 0);
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return std::u16string(reinterpret_cast<const char16_t*>(file.data()));
  }
};

SystemDialogs systemDialogs;
UserDialogs* current = &systemDialogs;

}  // namespace

UserDialogs& Dialogs() { return *current; }

ScopedUserDialogs::ScopedUserDialogs(UserDialogs& dialogs) : previous_(current) {
  current = &dialogs;
}

ScopedUserDialogs::~ScopedUserDialogs() { current = previous_; }

void ShowAppMessage(std::u16string_view text, UINT icon, HWND owner) {
  Dialogs().ShowMessage(owner, text, kAppTitle, MB_OK | icon);
}
