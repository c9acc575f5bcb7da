#include "app/forward/frm_send_user_win.h"

#include "app/forms/ime_mode_win.h"
#include "app/forward/input_check.h"
#include "app/main/show_error_message_win.h"
#include "app/main/user_dialogs_win.h"
#include "app/resources/form_ids.h"

frmSendUser::frmSendUser() : Form(IDD_SEND_USER) {}

std::u16string frmSendUser::txtName() const { return ControlText(IDC_TXT_NAME); }
void frmSendUser::SetName(std::u16string_view text) { SetControlText(IDC_TXT_NAME, text); }

void frmSendUser::Form_Load() {
  blnCancel = false;
  SetImeHiragana(Control(IDC_TXT_NAME));
}

bool frmSendUser::Command(int id, int code) {
  if (code != BN_CLICKED) return false;
  if (id == IDOK) {
    cmdOK_Click();
  } else if (id == IDCANCEL) {
    cmdCancel_Click();
  } else {
    return false;
  }
  return true;
}

void frmSendUser::cmdOK_Click() {
  if (InputCheck()) {
    blnCancel = false;
    Hide();
  }
}

void frmSendUser::cmdCancel_Click() {
  blnCancel = true;
  Hide();
}

bool frmSendUser::InputCheck() {
  return WithErrorTrap(u"InputCheck", false, [&] {
    const auto refusal = CheckSenderInput(txtName());
    if (!refusal) return true;
    ShowAppMessage(refusal->message, MB_ICONINFORMATION, hwnd());
    SetFocusTo(IDC_TXT_NAME);
    return false;
  });
}
