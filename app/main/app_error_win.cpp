#include "app/main/app_error_win.h"

AppError Win32Error(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string description;
  if (text != nullptr) {
    description.assign(reinterpret_cast<const char16_t*>(text), length);
    LocalFree(text);
  }
  while (!description.empty() && (description.back() == u'\n' || description.back() == u'\r')) {
    description.pop_back();
  }
  return AppError(static_cast<long>(code), std::move(description));
}

AppError LastWin32Error() { return Win32Error(GetLastError()); }
