#include "app/addressbook/frm_address_book_win.h"

#include "app/addressbook/address_selection.h"
#include "app/forms/hourglass_trap_win.h"
#include "app/forms/list_view_win.h"
#include "app/forward/frm_input_address_win.h"
#include "app/main/address_book_file_win.h"
#include "app/main/bas_main.h"
#include "app/main/show_error_message_win.h"
#include "app/main/user_dialogs_win.h"
#include "app/resources/form_ids.h"

void FillAddressList(HWND list, const AddressCollection& addresses) {
  std::vector<std::vector<std::u16string>> rows;
  for (const auto& address : addresses) rows.push_back({address->SendName, address->Email});
  FillReportList(list, rows);
}

frmAddressBook::frmAddressBook() : Form(IDD_ADDRESS_BOOK) {}

void frmAddressBook::Form_Load() {
  SetupReportList(Control(IDC_LVW_ADDRESS), {{u"お名前", 2500}, {u"メールアドレス", 5000}});
  SetAddressBookList();
  colSelectAdd.clear();
}

void frmAddressBook::Form_Unload() { colSelectAdd.clear(); }

bool frmAddressBook::Command(int id, int code) {
  if (code != BN_CLICKED) return Form::Command(id, code);
  switch (id) {
    case IDC_CMD_BOOK_ADD:
      cmdAdd_Click();
      return true;
    case IDC_CMD_BOOK_UPDATE:
      cmdUpdate_Click();
      return true;
    case IDC_CMD_BOOK_DELETE:
      cmdDelete_Click();
      return true;
    case IDC_CMD_BOOK_SET:
      cmdSet_Click();
      return true;
    case IDC_CMD_BOOK_CLOSE:
    case IDCANCEL:  // Esc
      cmdClose_Click();
      return true;
    default:
      return Form::Command(id, code);
  }
}

std::optional<clsAddress> frmAddressBook::AskAddress(const clsAddress* shown) {
  frmInputAddress dialog;
  dialog.Load();
  dialog.HideSaveBox();
  if (shown != nullptr) {
    dialog.SetCaption(u"Orvaneファイル転送 - アドレス編集");
    dialog.SetName(shown->SendName);
    dialog.SetEmail(shown->Email);
  }
  dialog.ShowModal(hwnd());
  SetHourglassPointer();
  std::optional<clsAddress> typed;
  if (!dialog.blnCancel) typed = clsAddress{dialog.txtName(), dialog.txtEmail()};
  dialog.Unload();
  return typed;
}

void frmAddressBook::SetAddressBookList() {
  WithErrorTrap(u"SetAddressBookList", false, [&] {
    FillAddressList(Control(IDC_LVW_ADDRESS), basMain::colAddressBook);
    return true;
  });
}

void frmAddressBook::cmdAdd_Click() {
  WithHourglassTrap(u"cmdAdd_Click", [&] {
    if (auto typed = AskAddress(nullptr)) {
      basMain::colAddressBook.push_back(std::make_shared<clsAddress>(std::move(*typed)));
      WriteAddressBookFile();
      SetAddressBookList();
    }
  });
}

void frmAddressBook::cmdUpdate_Click() {
  HWND list = Control(IDC_LVW_ADDRESS);
  if (RowCount(list) == 0) return;
  WithHourglassTrap(u"cmdUpdate_Click", [&] {
    const size_t row = static_cast<size_t>(RequireSelectedRow(list));
    const auto& entry = basMain::colAddressBook.at(row);
    if (auto typed = AskAddress(entry.get())) {
      *entry = std::move(*typed);
      WriteAddressBookFile();
      SetAddressBookList();
    }
  });
}

void frmAddressBook::cmdDelete_Click() {
  HWND list = Control(IDC_LVW_ADDRESS);
  if (RowCount(list) == 0) return;
  WithHourglassTrap(u"cmdDelete_Click", [&] {
    SetHourglassPointer();
    const size_t row = static_cast<size_t>(RequireSelectedRow(list));
    basMain::colAddressBook.erase(basMain::colAddressBook.begin() + static_cast<ptrdiff_t>(row));
    WriteAddressBookFile();
    SetAddressBookList();
  });
}

void frmAddressBook::cmdSet_Click() {
  HWND list = Control(IDC_LVW_ADDRESS);
  const int rows = RowCount(list);
  if (rows == 0) return;
  std::vector<bool> selected;
  for (int row = 0; row < rows; ++row) selected.push_back(IsRowSelected(list, row));
  const SelectionOutcome outcome = TakeSelectedRows(selected, intForwardCnt);
  colSelectAdd.clear();
  if (outcome.refusal) {
    ShowAppMessage(*outcome.refusal, MB_ICONERROR, hwnd());
    return;
  }
  for (size_t row : outcome.taken) {
    const auto& entry = basMain::colAddressBook.at(row);
    colSelectAdd.push_back(std::make_shared<clsAddress>(*entry));
  }
  Hide();
}

void frmAddressBook::cmdClose_Click() { Hide(); }
