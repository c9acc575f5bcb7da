#include "app/download/down_load_proc_win.h"

#include <algorithm>

#include "base/ansi.h"
#include "base/app_error.h"

namespace basMain {

LONG __stdcall GetFileSizeProc(LONG bytes, LPCSTR) {
  down.lngDownCancel = 1;
  down.lngTotalBytes += std::max<LONG>(bytes, 0);
  return down.lngDownCancel;
}

LONG __stdcall DownLoadProc(LONG bytes, LPCSTR) {
  ++down.lngCallbackCount;
  if (down.lngCallbackCount > 1) down.lngFileBytes = std::max<LONG>(bytes, 0);
  return down.lngDownCancel;
}

}  // namespace basMain

namespace parvek {
namespace {

using W3getvEntry = LONG(__stdcall*)(LPSTR commandText, INT_PTR* callbackAddress);

// Bound once and kept for the life of the program, as a declared library function is.
W3getvEntry Bind() {
  static HMODULE library = nullptr;
  if (library == nullptr) library = LoadLibraryW(L"Parvek.dll");
  if (library == nullptr) {
    throw AppError(app_errors::kFileNotFound, u"ファイルが見つかりません。: Parvek.dll");
  }
  auto* entry =
      reinterpret_cast<W3getvEntry>(reinterpret_cast<void*>(GetProcAddress(library, "W3getv")));
  if (entry == nullptr) {
    throw AppError(app_errors::kEntryPointNotFound,
                   u"DLL エントリ ポイント W3getv が Parvek.dll に見つかりません。");
  }
  return entry;
}

}  // namespace

int32_t W3getv(const std::u16string& commandText, basMain::DownLoadCallback callback) {
  const W3getvEntry entry = Bind();
  // The library may write into the text; it gets a copy of its own.
  std::string text = base::ToAnsi(commandText);
  INT_PTR callbackAddress = reinterpret_cast<INT_PTR>(callback);
  return entry(text.data(), &callbackAddress);
}

}  // namespace parvek
