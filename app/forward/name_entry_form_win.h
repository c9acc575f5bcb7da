// The base of the small dialogs around a name box with OK and Cancel (the sender name, a
// recipient). Used as a fresh instance: preset, shown modal, read (blnCancel first), released.
#pragma once

#include <string>
#include <string_view>

#include "app/forms/form_win.h"

class NameEntryForm : public Form {
 public:
  explicit NameEntryForm(int templateId);

  bool blnCancel = false;

  std::u16string txtName() const;
  void SetName(std::u16string_view text);

  // OK hides the form only once its input passes InputCheck.
  void cmdOK_Click();
  void cmdCancel_Click();
  // Tells the user what is wrong with the input and puts the focus there; false then.
  virtual bool InputCheck() = 0;

 protected:
  void Form_Load() override;
  bool Command(int id, int code) override;
  void CloseBox() override { cmdCancel_Click(); }
};
