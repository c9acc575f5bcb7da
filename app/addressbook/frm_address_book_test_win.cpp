// The address book window: editing the book, which is written at once, and taking entries.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/addressbook/frm_address_book_win.h"
#include "app/forms/list_view_win.h"
#include "app/forward/frm_input_address_win.h"
#include "app/main/bas_main.h"
#include "app/main/file_utils_win.h"
#include "app/resources/form_ids.h"
#include "app/testing/scripted_dialogs_win.h"
#include "app/testing/temp_folder_win.h"

namespace {

class AddressBookWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    Remove();
    basMain::colAddressBook.clear();
    for (const char16_t* name : {u"a", u"b", u"c", u"d", u"e", u"f"}) {
      auto entry = std::make_shared<clsAddress>();
      entry->SendName = name;
      entry->Email = std::u16string(name) + u"@x";
      basMain::colAddressBook.push_back(entry);
    }
  }
  void TearDown() override {
    book.Unload();
    basMain::colAddressBook.clear();
    Remove();
  }

  static std::u16string BookPath() { return ProgramFolder() + u"\\address.dat"; }
  static void Remove() { std::filesystem::remove(std::filesystem::path(BookPath())); }

  HWND List() { return book.Control(IDC_LVW_ADDRESS); }
  void Select(std::initializer_list<int> rows) {
    for (int row : rows) SelectRow(List(), row, true);
  }

  void ExpectOnlyMessage(std::u16string_view text) {
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, text);
    EXPECT_EQ(dialogs.messages[0].caption, u"Orvaneファイル転送");
    EXPECT_EQ(dialogs.messages[0].style, static_cast<UINT>(MB_OK | MB_ICONERROR));
    dialogs.messages.clear();
  }

  ScriptedDialogs dialogs;
  frmAddressBook book;
};

TEST_F(AddressBookWindow, ListsTheBookInOrder) {
  book.Load();
  EXPECT_EQ(book.Caption(), u"Orvaneファイル転送 - アドレス帳");
  ASSERT_EQ(RowCount(List()), 6);
  EXPECT_EQ(CellText(List(), 0, 0), u"a");
  EXPECT_EQ(CellText(List(), 5, 1), u"f@x");
  EXPECT_TRUE(book.colSelectAdd.empty());
  EXPECT_TRUE(GetWindowLongW(List(), GWL_STYLE) & WS_VISIBLE);  // refilled before the form shows
}

TEST_F(AddressBookWindow, SelectionBeyondTheRemainingPlacesIsRefusedAndTheWindowStays) {
  book.intForwardCnt = 3;
  book.Show();
  Select({0, 2, 4});
  book.cmdSet_Click();
  ExpectOnlyMessage(u"選択可能なファイル転送先は 2 名までです。");
  EXPECT_TRUE(book.colSelectAdd.empty());
  EXPECT_TRUE(book.IsVisible());

  SelectRow(List(), 0, false);
  book.cmdSet_Click();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_FALSE(book.IsVisible());
  ASSERT_EQ(book.colSelectAdd.size(), 2u);
  EXPECT_EQ(book.colSelectAdd[0]->SendName, u"c");
  EXPECT_EQ(book.colSelectAdd[1]->Email, u"e@x");
}

TEST_F(AddressBookWindow, FiveMayBeTakenIntoAnEmptyForwardButNotNone) {
  book.Show();
  book.cmdSet_Click();
  ExpectOnlyMessage(u"ファイル転送先を選択して下さい。");
  EXPECT_TRUE(book.IsVisible());
  Select({1, 2, 3, 4, 5});
  book.cmdSet_Click();
  EXPECT_EQ(book.colSelectAdd.size(), 5u);
}

TEST_F(AddressBookWindow, CloseAndTheCloseBoxTakeNothing) {
  book.Show();
  Select({0});
  book.cmdClose_Click();
  EXPECT_FALSE(book.IsVisible());
  EXPECT_TRUE(book.colSelectAdd.empty());
  book.Show();
  SendMessageW(book.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(book.IsVisible());
  EXPECT_TRUE(book.colSelectAdd.empty());
}

TEST_F(AddressBookWindow, AddedEntryIsWrittenAtOnce) {
  book.Load();
  bool saveBoxHidden = false;
  std::u16string caption;
  ScopedModalHook hook([&](Form& shown) {
    auto& dialog = dynamic_cast<frmInputAddress&>(shown);
    caption = dialog.Caption();
    saveBoxHidden = !IsWindowVisible(dialog.Control(IDC_CHK_SAVE));
    dialog.SetName(u"山田");
    dialog.SetEmail(u"a@x");  // the same address twice is accepted
    dialog.cmdOK_Click();
  });
  book.cmdAdd_Click();
  EXPECT_EQ(caption, u"Orvaneファイル転送 - アドレス追加");
  EXPECT_TRUE(saveBoxHidden);
  ASSERT_EQ(RowCount(List()), 7);
  EXPECT_EQ(CellText(List(), 6, 0), u"山田");
  EXPECT_EQ(ReadBytes(BookPath()),
            "a,a@x\r\nb,b@x\r\nc,c@x\r\nd,d@x\r\ne,e@x\r\nf,f@x\r\n\x8E\x52\x93\x63,a@x\r\n");
  EXPECT_FALSE(IsHourglassPointer());
}

TEST_F(AddressBookWindow, EditChangesTheEntryObjectItself) {
  const auto shared = basMain::colAddressBook[1];  // as a forward's recipient would hold it
  book.Load();
  Select({1});
  ScopedModalHook hook([&](Form& shown) {
    auto& dialog = dynamic_cast<frmInputAddress&>(shown);
    EXPECT_EQ(dialog.Caption(), u"Orvaneファイル転送 - アドレス編集");
    EXPECT_EQ(dialog.txtName(), u"b");
    EXPECT_EQ(dialog.txtEmail(), u"b@x");
    EXPECT_FALSE(IsWindowVisible(dialog.Control(IDC_CHK_SAVE)));
    dialog.SetName(u"B2");
    dialog.cmdOK_Click();
  });
  book.cmdUpdate_Click();
  EXPECT_EQ(shared->SendName, u"B2");
  EXPECT_EQ(CellText(List(), 1, 0), u"B2");
  EXPECT_NE(ReadBytes(BookPath()).find("B2,b@x\r\n"), std::string::npos);
}

TEST_F(AddressBookWindow, EditOrDeleteWithoutASelectedRowIsReportedAndChangesNothing) {
  book.Load();
  book.cmdUpdate_Click();
  book.cmdDelete_Click();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text.rfind(u"cmdUpdate_Click\r\n91\r\n", 0), 0u);
  EXPECT_EQ(dialogs.messages[1].text.rfind(u"cmdDelete_Click\r\n91\r\n", 0), 0u);
  EXPECT_EQ(basMain::colAddressBook.size(), 6u);
  EXPECT_FALSE(IsHourglassPointer());
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(BookPath())));
}

TEST_F(AddressBookWindow, DeletingTheLastEntryLeavesAnEmptyFile) {
  basMain::colAddressBook.resize(1);
  book.Load();
  Select({0});
  book.cmdDelete_Click();
  EXPECT_EQ(RowCount(List()), 0);
  EXPECT_TRUE(basMain::colAddressBook.empty());
  EXPECT_EQ(ReadBytes(BookPath()), "");

  // An empty book: the three commands do nothing.
  bool shown = false;
  ScopedModalHook hook([&](Form&) { shown = true; });
  book.cmdSet_Click();
  book.cmdUpdate_Click();
  book.cmdDelete_Click();
  EXPECT_FALSE(shown);
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
