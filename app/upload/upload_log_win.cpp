#include "app/upload/upload_log_win.h"

#include <windows.h>

#include "app/main/file_utils_win.h"
#include "base/ansi.h"

std::u16string UploadLogPath() {
  std::u16string folder = ProgramFolder();
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  return folder + u"fileup.log";
}

bool AppendUploadLog(std::u16string_view path, std::u16string_view text) {
  const std::u16string target(path);
  HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(target.c_str()), FILE_APPEND_DATA,
                            FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const std::string block = "------------------------------\r\n" + base::ToAnsi(text) + "\r\n";
  DWORD written = 0;
  const BOOL wrote =
      WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
  CloseHandle(file);
  return wrote && written == block.size();
}
