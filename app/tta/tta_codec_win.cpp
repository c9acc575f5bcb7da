#include "app/tta/tta_codec_win.h"

#include "app/forms/form_win.h"
#include "app/tta/tta_progress.h"
#include "base/ansi.h"
#include "base/app_error.h"
#include "base/text.h"

namespace basMain {

LONG __stdcall TtaProgressProc(LONG position, SHORT* cancel) {
  DoEvents();
  intTtaStep = tta_progress::StepAfter(intTtaStep, lngTtaUnit, position);
  return (cancel != nullptr && *cancel != 0) ? 0 : -1;
}

void StartTtaProgress(int64_t sourceBytes) {
  lngTtaUnit = tta_progress::UnitFor(sourceBytes);
  intTtaStep = 1;
}

}  // namespace basMain

namespace {

using TtaProgressCallback = LONG(__stdcall*)(LONG position, SHORT* cancel);
using TtaEntry = LONG(__stdcall*)(LPCSTR source, LPCSTR target, TtaProgressCallback progress,
                                  SHORT* cancel);

// Bound once and kept for the life of the program, as a declared library function is.
TtaEntry Bind(const char* entryName) {
  constexpr wchar_t kLibrary[] = L"TTA_VB.dll";
  static HMODULE library = nullptr;
  if (library == nullptr) library = LoadLibraryW(kLibrary);
  if (library == nullptr) {
    throw AppError(app_errors::kFileNotFound, u"ファイルが見つかりません。: TTA_VB.dll");
  }
  auto* entry =
      reinterpret_cast<TtaEntry>(reinterpret_cast<void*>(GetProcAddress(library, entryName)));
  if (entry == nullptr) {
    throw AppError(
        app_errors::kEntryPointNotFound,
        u"DLL エントリ ポイント " + base::Widen(entryName) + u" が TTA_VB.dll に見つかりません。");
  }
  return entry;
}

int32_t Call(const char* entryName, const std::u16string& source, const std::u16string& target,
             int16_t* cancel) {
  static_assert(sizeof(SHORT) == sizeof(int16_t));
  const TtaEntry entry = Bind(entryName);
  const std::string sourceAnsi = base::ToAnsi(source);
  const std::string targetAnsi = base::ToAnsi(target);
  return entry(sourceAnsi.c_str(), targetAnsi.c_str(), basMain::TtaProgressProc,
               reinterpret_cast<SHORT*>(cancel));
}

}  // namespace

namespace tta_vb {

int32_t Enc_WavToTTA(const std::u16string& wavPath, const std::u16string& ttaPath,
                     int16_t* cancel) {
  return Call("Enc_WavToTTA", wavPath, ttaPath, cancel);
}

int32_t Dec_TTAToWav(const std::u16string& ttaPath, const std::u16string& wavPath,
                     int16_t* cancel) {
  return Call("Dec_TTAToWav", ttaPath, wavPath, cancel);
}

}  // namespace tta_vb
