// The recipient dialog and the sender dialog: check order, messages, focus, cancel.
#include <windows.h>

#include <imm.h>

#include <gtest/gtest.h>

#include "app/forward/frm_input_address_win.h"
#include "app/forward/frm_send_user_win.h"
#include "app/resources/form_ids.h"
#include "app/testing/scripted_dialogs_win.h"

namespace {

class Dialogs : public ::testing::Test {
 protected:
  // The only message shown, with the information icon and the application title.
  void ExpectRefusal(Form& dialog, std::u16string_view text, int focusId) {
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, text);
    EXPECT_EQ(dialogs.messages[0].caption, u"Orvaneファイル転送");
    EXPECT_EQ(dialogs.messages[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(GetFocus(), dialog.Control(focusId));
    dialogs.messages.clear();
  }

  ScriptedDialogs dialogs;
};

class InputAddress : public Dialogs {
 protected:
  // Loaded but not shown: hiding a shown window costs Wine a wait for the window manager.
  void SetUp() override { dialog.Load(); }
  void Try(std::u16string_view name, std::u16string_view email) {
    dialog.SetName(name);
    dialog.SetEmail(email);
    dialog.cmdOK_Click();
  }
  frmInputAddress dialog;
};

TEST_F(InputAddress, OpensWithItsCaptionAndNotCancelled) {
  EXPECT_EQ(dialog.Caption(), u"Orvaneファイル転送 - アドレス追加");
  EXPECT_EQ(dialog.ControlText(IDC_CHK_SAVE), u"アドレス帳へ登録");
  EXPECT_FALSE(dialog.blnCancel);
  EXPECT_FALSE(dialog.chkSave());
}

TEST_F(InputAddress, FieldsAreCheckedInOrderWithFocusOnTheOffendingOne) {
  Try(u"", u"");
  ExpectRefusal(dialog, u"お名前は全角30文字以内で入力して下さい。", IDC_TXT_NAME);
  Try(std::u16string(31, u'山'), u"a@b");
  ExpectRefusal(dialog, u"お名前は全角30文字以内で入力して下さい。", IDC_TXT_NAME);
  Try(u"Doe, John", u"a@b");
  ExpectRefusal(dialog, u"お名前に半角のカンマ（,）は使用出来ません。", IDC_TXT_NAME);
  Try(u"n", u"");
  ExpectRefusal(dialog, u"メールアドレスは半角50文字以内で入力して下さい。", IDC_TXT_EMAIL);
  Try(u"n", std::u16string(49, u'+') + u"@b");
  ExpectRefusal(dialog, u"メールアドレスは半角50文字以内で入力して下さい。", IDC_TXT_EMAIL);
  Try(u"n", u"a+b@c");
  ExpectRefusal(dialog, u"メールアドレスが正しくありません。", IDC_TXT_EMAIL);
}

TEST_F(InputAddress, AcceptedTextsAreHandedOverExactlyAsTyped) {
  dialog.Show();
  Try(u"  ", u"-a.b_c@d");
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_FALSE(dialog.IsVisible());
  EXPECT_FALSE(dialog.blnCancel);
  EXPECT_EQ(dialog.txtName(), u"  ");
  EXPECT_EQ(dialog.txtEmail(), u"-a.b_c@d");
}

TEST_F(InputAddress, CancelAndTheCloseBoxBothCancel) {
  dialog.Show();
  dialog.SetName(u"typed");
  dialog.cmdCancel_Click();
  EXPECT_TRUE(dialog.blnCancel);
  EXPECT_FALSE(dialog.IsVisible());

  frmInputAddress closed;
  closed.Load();
  PostMessageW(closed.hwnd(), WM_CLOSE, 0, 0);
  closed.ShowModal(nullptr);
  EXPECT_TRUE(closed.blnCancel);
}

TEST_F(InputAddress, ModalShowStaysOpenAfterAFailedCheck) {
  frmInputAddress modal;
  modal.Load();
  // Both clicks wait in the queue: OK fails its check, then cancel ends the modal show.
  PostMessageW(modal.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  PostMessageW(modal.hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  modal.ShowModal(nullptr);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, u"お名前は全角30文字以内で入力して下さい。");
  EXPECT_TRUE(modal.blnCancel);
}

TEST_F(InputAddress, NameTypesInHiraganaAndTheMailAddressWithoutTheInputMethod) {
  HIMC name = ImmGetContext(dialog.Control(IDC_TXT_NAME));
  ASSERT_NE(name, nullptr);
  EXPECT_TRUE(ImmGetOpenStatus(name));
  DWORD conversion = 0;
  DWORD sentence = 0;
  ImmGetConversionStatus(name, &conversion, &sentence);
  EXPECT_EQ(conversion & (IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE),
            static_cast<DWORD>(IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE));
  ImmReleaseContext(dialog.Control(IDC_TXT_NAME), name);
  EXPECT_EQ(ImmGetContext(dialog.Control(IDC_TXT_EMAIL)), nullptr);
}

class SendUser : public Dialogs {
 protected:
  void SetUp() override { dialog.Load(); }
  frmSendUser dialog;
};

TEST_F(SendUser, NameIsRequiredAndLimitedToThirtyFullWidthCharacters) {
  EXPECT_EQ(dialog.Caption(), u"Orvaneファイル転送 - 送信者設定");
  for (const std::u16string& bad : {std::u16string(), std::u16string(31, u'佐')}) {
    dialog.SetName(bad);
    dialog.cmdOK_Click();
    ExpectRefusal(dialog, u"送信者名は全角30文字以内で入力して下さい。", IDC_TXT_NAME);
  }
  dialog.Show();
  dialog.SetName(std::u16string(30, u'佐'));
  dialog.cmdOK_Click();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_FALSE(dialog.IsVisible());
  EXPECT_FALSE(dialog.blnCancel);
}

TEST_F(SendUser, CloseBoxCancels) {
  dialog.Show();
  SendMessageW(dialog.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(dialog.blnCancel);
  EXPECT_FALSE(dialog.IsVisible());
}

}  // namespace
