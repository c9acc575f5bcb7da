#include "base/replacing_file_win.h"

namespace base {

HANDLE CreateReplacingFile(const char* path, DWORD access, DWORD share) {
  HANDLE file =
      CreateFileA(path, access, share, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
    file = CreateFileA(path, access, share, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  return file;
}

}  // namespace base
