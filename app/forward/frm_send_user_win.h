// frmSendUser: the sender name.
#pragma once

#include "app/forward/name_entry_form_win.h"

class frmSendUser : public NameEntryForm {
 public:
  frmSendUser();

  bool InputCheck() override;
};
