// frmSendUser: the sender name. Used as a fresh instance: preset, shown modal, read, released.
#pragma once

#include <string>
#include <string_view>

#include "app/forms/form_win.h"

class frmSendUser : public Form {
 public:
  frmSendUser();

  bool blnCancel = false;

  std::u16string txtName() const;
  void SetName(std::u16string_view text);

  void cmdOK_Click();
  void cmdCancel_Click();
  bool InputCheck();

 protected:
  void Form_Load() override;
  bool Command(int id, int code) override;
  void CloseBox() override { cmdCancel_Click(); }
};
