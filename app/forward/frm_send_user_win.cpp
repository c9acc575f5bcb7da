#include "app/forward/frm_send_user_win.h"

#include "app/forward/input_check.h"
#include "app/main/show_error_message_win.h"
#include "app/main/user_dialogs_win.h"
#include "app/resources/form_ids.h"

frmSendUser::frmSendUser() : NameEntryForm(IDD_SEND_USER) {}

bool frmSendUser::InputCheck() {
  return WithErrorTrap(u"InputCheck", false, [&] {
    const auto refusal = CheckSenderInput(txtName());
    if (!refusal) return true;
    ShowAppMessage(refusal->message, MB_ICONINFORMATION, hwnd());
    SetFocusTo(IDC_TXT_NAME);
    return false;
  });
}
