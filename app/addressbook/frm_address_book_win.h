// frmAddressBook: keeps the address book and picks recipients from it for the forward. Shown
// modal as a fresh instance; hidden (not unloaded) so the caller can read colSelectAdd.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "app/forms/form_win.h"
#include "app/main/cls_address.h"

class frmAddressBook : public Form {
 public:
  frmAddressBook();

  int16_t intForwardCnt = 0;       // recipients the forward already has
  AddressCollection colSelectAdd;  // copies of the entries taken

  void cmdAdd_Click();
  void cmdUpdate_Click();
  void cmdDelete_Click();
  void cmdSet_Click();
  void cmdClose_Click();

 protected:
  void Form_Load() override;
  void Form_Unload() override;
  bool Command(int id, int code) override;
  void CloseBox() override { cmdClose_Click(); }

 private:
  // The entry typed into a fresh address form, which edits `shown` when given; nothing when
  // cancelled. The hourglass is on once the form has closed.
  std::optional<clsAddress> AskAddress(const clsAddress* shown);
  void SetAddressBookList();
};

// Shows `addresses` in a list of name and mail address columns (the book's, or a forward's
// recipients).
void FillAddressList(HWND list, const AddressCollection& addresses);
