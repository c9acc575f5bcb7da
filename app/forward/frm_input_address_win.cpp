#include "app/forward/frm_input_address_win.h"

#include "app/forms/ime_mode_win.h"
#include "app/forward/input_check.h"
#include "app/main/show_error_message_win.h"
#include "app/main/user_dialogs_win.h"
#include "app/resources/form_ids.h"

frmInputAddress::frmInputAddress() : NameEntryForm(IDD_INPUT_ADDRESS) {}

std::u16string frmInputAddress::txtEmail() const { return ControlText(IDC_TXT_EMAIL); }

bool frmInputAddress::chkSave() const {
  return IsDlgButtonChecked(hwnd(), IDC_CHK_SAVE) == BST_CHECKED;
}

void frmInputAddress::SetEmail(std::u16string_view text) { SetControlText(IDC_TXT_EMAIL, text); }
void frmInputAddress::HideSaveBox() { ShowWindow(Control(IDC_CHK_SAVE), SW_HIDE); }

void frmInputAddress::Form_Load() {
  NameEntryForm::Form_Load();
  DisableIme(Control(IDC_TXT_EMAIL));
}

bool frmInputAddress::InputCheck() {
  return WithErrorTrap(u"InputCheck", false, [&] {
    const auto refusal = CheckRecipientInput(txtName(), txtEmail());
    if (!refusal) return true;
    ShowAppMessage(refusal->message, MB_ICONINFORMATION, hwnd());
    SetFocusTo(refusal->field == InputField::Name ? IDC_TXT_NAME : IDC_TXT_EMAIL);
    return false;
  });
}
