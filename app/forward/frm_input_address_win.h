// frmInputAddress: one recipient, a name and a mail address, typed in. Used as a fresh instance:
// preset, shown modal, read (blnCancel first), released.
#pragma once

#include <string>
#include <string_view>

#include "app/forms/form_win.h"

class frmInputAddress : public Form {
 public:
  frmInputAddress();

  bool blnCancel = false;

  std::u16string txtName() const;
  std::u16string txtEmail() const;
  bool chkSave() const;
  void SetName(std::u16string_view text);
  void SetEmail(std::u16string_view text);
  void HideSaveBox();

  void cmdOK_Click();
  void cmdCancel_Click();
  bool InputCheck();

 protected:
  void Form_Load() override;
  bool Command(int id, int code) override;
  void CloseBox() override { cmdCancel_Click(); }
};
