#include "app/forward/name_entry_form_win.h"

#include "app/forms/ime_mode_win.h"
#include "app/resources/form_ids.h"

NameEntryForm::NameEntryForm(int templateId) : Form(templateId) {}

std::u16string NameEntryForm::txtName() const { return ControlText(IDC_TXT_NAME); }
void NameEntryForm::SetName(std::u16string_view text) { SetControlText(IDC_TXT_NAME, text); }

void NameEntryForm::Form_Load() {
  blnCancel = false;
  SetImeHiragana(Control(IDC_TXT_NAME));
}

bool NameEntryForm::Command(int id, int code) {
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

void NameEntryForm::cmdOK_Click() {
  if (InputCheck()) {
    blnCancel = false;
    Hide();
  }
}

void NameEntryForm::cmdCancel_Click() {
  blnCancel = true;
  Hide();
}
