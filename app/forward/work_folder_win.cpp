#include "app/forward/work_folder_win.h"

#include <windows.h>

#include "app/main/app_error_win.h"
#include "base/text.h"

namespace {

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

WorkFolder::WorkFolder(std::u16string_view parent) {
  // Another forward, of this program or of a second copy of it, may hold a folder of the same
  // name; CreateDirectory fails then and the next name is tried.
  static unsigned serial = 0;
  const std::u16string prefix =
      std::u16string(parent) + u"OrvaneFts" + base::Widen(std::to_string(GetCurrentProcessId()));
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::u16string candidate = prefix + u"-" + base::Widen(std::to_string(++serial));
    if (CreateDirectoryW(Wide(candidate), nullptr)) {
      path_ = candidate + u"\\";
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw LastWin32Error();
  }
  throw Win32Error(ERROR_ALREADY_EXISTS);
}

WorkFolder::~WorkFolder() {
  const std::u16string folder = path_.substr(0, path_.size() - 1);
  RemoveDirectoryW(Wide(folder));
}
