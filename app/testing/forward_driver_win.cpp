#include "app/testing/forward_driver_win.h"

#include "app/resources/form_ids.h"

namespace forward_driver {
namespace {

constexpr wchar_t kFileDialogCaption[] = L"ファイルを選択して下さい";
constexpr wchar_t kInputAddressCaption[] = L"Orvaneファイル転送 - アドレス追加";
// The file name box of the Explorer-style open dialog: an edit box (edt1) in Wine's template,
// a combo box (cmb13) with one inside in the system's and in Wine's.
constexpr int kFileNameEdit = 0x480;
constexpr int kFileNameCombo = 0x47c;

BOOL CALLBACK FirstEdit(HWND child, LPARAM data) {
  wchar_t className[16] = {};
  GetClassNameW(child, className, 16);
  if (_wcsicmp(className, L"Edit") != 0) return TRUE;
  *reinterpret_cast<HWND*>(data) = child;
  return FALSE;
}

}  // namespace

bool AddFile(RunningProgram& program, HWND forward, const std::wstring& path) {
  RunningProgram::Click(forward, IDC_CMD_FILE_SELECT);
  HWND dialog = program.Window(kFileDialogCaption);
  if (dialog == nullptr) return false;
  HWND name = GetDlgItem(dialog, kFileNameEdit);
  if (name == nullptr) {
    if (HWND combo = GetDlgItem(dialog, kFileNameCombo))
      EnumChildWindows(combo, FirstEdit, reinterpret_cast<LPARAM>(&name));
  }
  if (name == nullptr) return false;
  Type(name, path.c_str());
  RunningProgram::Click(dialog, IDOK);
  for (int tries = 0; tries < 100 && IsWindow(dialog) && IsWindowVisible(dialog); ++tries) {
    Sleep(100);
  }
  return !IsWindowVisible(dialog);
}

bool AddRecipient(RunningProgram& program, HWND forward, const wchar_t* name, const wchar_t* mail) {
  RunningProgram::Click(forward, IDC_CMD_ADD);
  HWND input = program.Window(kInputAddressCaption);
  if (input == nullptr) return false;
  Type(GetDlgItem(input, IDC_TXT_NAME), name);
  Type(GetDlgItem(input, IDC_TXT_EMAIL), mail);
  RunningProgram::Dismiss(input, IDOK);
  return !IsWindowVisible(input);
}

}  // namespace forward_driver
