// frmInputAddress: one recipient, a name and a mail address, typed in.
#pragma once

#include <string>
#include <string_view>

#include "app/forward/name_entry_form_win.h"

class frmInputAddress : public NameEntryForm {
 public:
  frmInputAddress();

  std::u16string txtEmail() const;
  bool chkSave() const;
  void SetEmail(std::u16string_view text);
  void HideSaveBox();

  bool InputCheck() override;

 protected:
  void Form_Load() override;
};
