// The forward command, the recipients and the sender name of the forward window.
#include <fstream>

#include "app/addressbook/frm_address_book_win.h"
#include "app/forward/frm_input_address_win.h"
#include "app/forward/frm_send_user_win.h"
#include "app/testing/forward_window_fixture_win.h"
#include "app/testing/paint_watch_win.h"
#include "app/testing/shell_drop_win.h"
#include "base/text.h"
#include "control/testing/hosted_control_win.h"

namespace {

constexpr char16_t kRecipientsFull[] = u"最大人数が設定されています。";
constexpr char16_t kNoRecipient[] = u"ファイル転送先を設定して下さい。";

class ForwardCommand : public ForwardWindowTest {
 protected:
  // Adds a recipient through the add dialog, answered by the modal hook.
  void AddRecipient(std::u16string_view name, std::u16string_view email, bool save = false) {
    ScopedModalHook hook([&](Form& shown) {
      auto& dialog = dynamic_cast<frmInputAddress&>(shown);
      dialog.SetName(name);
      dialog.SetEmail(email);
      if (save) CheckDlgButton(dialog.hwnd(), IDC_CHK_SAVE, BST_CHECKED);
      dialog.cmdOK_Click();
    });
    form.cmdAdd_Click();
  }

  void ReadyToForward() {
    AddRecipient(u"鈴木", u"suzuki@example.jp");
    AddFile(MakeFile(files / u"x.WAV", 1000));
    AddFile(MakeFile(files / u"a b.mp3", 1000));
  }

  std::u16string ErrorReportOf(std::u16string_view routine) {
    for (const ShownMessage& message : dialogs.messages) {
      if (message.text.rfind(std::u16string(routine) + u"\r\n", 0) == 0) return message.text;
    }
    return {};
  }
};

TEST_F(ForwardCommand, ServerQueryComesFirstAndANegativeSizeStopsTheForward) {
  server.SetBody("-1");
  form.cmdForward_Click();
  ExpectMessage(u"サーバー保存サイズが取得出来ませんでした。");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("POST /savesize ", 0), 0u);
  EXPECT_EQ(requests[0].substr(requests[0].find("\r\n\r\n") + 4), "productid=PID-7");
}

TEST_F(ForwardCommand, TheSavedSizeQueryKeepsTheWindowPaintedWithTheFormDisabled) {
  ShowWindow(form.hwnd(), SW_SHOW);
  UpdateWindow(form.hwnd());
  server.SetBody("1234");
  server.SetDelay(1500);
  int32_t saved = 0;
  {
    // A slow server: the window is painted while the query waits, and takes no input meanwhile.
    const PaintWatch watch(form.hwnd());
    saved = form.GetServerSaveFileSize();
    EXPECT_GE(watch.ticks(), 5) << "the thread went on with its messages";
    EXPECT_FALSE(watch.enabledSeen());
    EXPECT_TRUE(watch.painted()) << "the window was painted while the server took its time";
  }
  EXPECT_EQ(saved, 1234);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_TRUE(IsWindowEnabled(form.hwnd()));
  ShowWindow(form.hwnd(), SW_HIDE);
}

TEST_F(ForwardCommand, ReplyThatIsNoNumberCountsAsZero) {
  server.SetBody("unknown");
  form.cmdForward_Click();
  ExpectMessage(kNoRecipient);
}

TEST_F(ForwardCommand, FailedQueryIsReportedAndTheChecksGoOnWithZero) {
  server.SetBody("99999999999");  // beyond 32 bits
  form.cmdForward_Click();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text.rfind(u"GetServerSaveFileSize\r\n6\r\n", 0), 0u);
  EXPECT_EQ(dialogs.messages[1].text, kNoRecipient);
  dialogs.messages.clear();

  basMain::strSaveSizeUrl = u"";
  form.cmdForward_Click();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_FALSE(ErrorReportOf(u"GetServerSaveFileSize").empty());
  EXPECT_EQ(dialogs.messages[1].text, kNoRecipient);
}

TEST_F(ForwardCommand, ChecksComeInTheirOrderWithTheirMessages) {
  AddRecipient(u"鈴木", u"suzuki@example.jp");
  form.cmdForward_Click();
  ExpectMessage(u"転送するファイルを設定して下さい。");

  AddFile(MakeFile(files / u"a.bin", 2000));
  server.SetBody("1073741000");  // 824 bytes short of 1 GB
  form.cmdForward_Click();
  ExpectMessage(u"転送可能サイズを超えています。");

  server.SetBody("0");
  form.SetControlText(IDC_TXT_MSG, std::u16string(500, u'あ') + u"a");
  form.cmdForward_Click();
  ExpectMessage(u"メッセージは全角500文字以内で入力して下さい。", MB_ICONINFORMATION);
  EXPECT_EQ(GetFocus(), form.Control(IDC_TXT_MSG));
  form.SetControlText(IDC_TXT_MSG, std::u16string(1001, u'a'));
  form.cmdForward_Click();
  ExpectMessage(u"メッセージは全角500文字以内で入力して下さい。", MB_ICONINFORMATION);

  form.SetControlText(IDC_TXT_MSG, std::u16string(998, u'a') + u"\r\n");
  basMain::strSendName = u"";
  form.cmdForward_Click();
  ExpectMessage(u"送信者名を入力して下さい。");
  EXPECT_TRUE(handovers.empty());
}

TEST_F(ForwardCommand, DropsAreRefusedWhileTheForwardIsSentAndTakenAgainAfterwards) {
  ReadyToForward();
  form.SetControlText(IDC_TXT_MSG, u"memo");
  HWND list = form.Control(IDC_LVW_FILE);
  const std::u16string late = MakeFile(files / u"late.txt", 10);
  DragResult drag;
  duringUpload = [&](const UploadHandover&) {
    PostDropFiles(list, {late});
    drag = DropOnRegisteredTarget(list, {late});
  };
  form.cmdForward_Click();
  ASSERT_EQ(handovers.size(), 1u);
  EXPECT_EQ(drag.effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(handovers[0].sendFiles->size(), 2u);
  zorvel::testing::PumpFor(100);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Rows(IDC_LVW_FILE), 2);

  PostDropFiles(list, {late});
  zorvel::testing::PumpFor(100);
  EXPECT_EQ(Rows(IDC_LVW_FILE), 3);
}

TEST_F(ForwardCommand, ForwardIsHandedOverAndItsWorkFilesAreDeletedAfterwards) {
  ReadyToForward();
  form.SetControlText(IDC_TXT_MSG, u"一行目\r\n二行目");
  duringUpload = [&](const UploadHandover& handover) {
    WriteBytes(handover.ParaFile, "para");
    for (const auto& file : handover.SendFiles) WriteBytes(file->NewFilePath, "work");
    SetFileAttributesW(reinterpret_cast<const wchar_t*>(handover.SendFiles[0]->NewFilePath.c_str()),
                       FILE_ATTRIBUTE_READONLY);
  };
  form.cmdForward_Click();
  EXPECT_TRUE(dialogs.messages.empty());
  ASSERT_EQ(handovers.size(), 1u);
  const RecordedHandover& handover = handovers[0];
  EXPECT_EQ(handover.sendAddress, &form.Recipients());
  EXPECT_EQ(handover.sendFiles, &form.Files());
  EXPECT_EQ(handover.message, u"一行目\r\n二行目");
  // Everything the forward writes lies in a folder of its own in the temporary directory.
  const std::u16string folder = handover.paraFile.substr(0, handover.paraFile.rfind(u'\\') + 1);
  EXPECT_EQ(folder.rfind(temp.path() + u"\\OrvaneFts", 0), 0u) << base::ToUtf8(folder);
  EXPECT_EQ(folder.find(u'\\', temp.path().size() + 1), folder.size() - 1);
  EXPECT_EQ(handover.paraFile, folder + u"OrvaneFileTrans.para");
  EXPECT_EQ(handover.execMode, 1);
  EXPECT_EQ(form.Files()[0]->NewFilePath, folder + u"x.tta");
  EXPECT_EQ(form.Files()[1]->NewFilePath, folder + u"a+b.mp3");

  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(handover.paraFile)));
  for (const auto& file : form.Files()) {
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(file->NewFilePath)));
  }
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder)));
  // Everything stays for the next forward.
  EXPECT_EQ(Rows(IDC_LVW_FILE), 2);
  EXPECT_EQ(Rows(IDC_LVW_FORWARD), 1);
  EXPECT_EQ(form.ControlText(IDC_TXT_MSG), u"一行目\r\n二行目");
}

TEST_F(ForwardCommand, SourcesAndOtherFilesInTheTemporaryDirectorySurviveForwards) {
  AddRecipient(u"鈴木", u"suzuki@example.jp");
  // Names that encode to themselves: their work files would once have been these very files.
  const std::u16string memo = MakeFile(temp / u"memo.txt", 4);
  WriteBytes(memo, "memo");
  AddFile(memo);
  WriteBytes(temp / u"OrvaneFileTrans.para", "someone else's");
  WriteBytes(files / u"song.wav", "RIFF");
  AddFile(files / u"song.wav");
  WriteBytes(temp / u"song.tta", "unrelated");

  // A forward that writes its work files, and one cancelled before any was written.
  duringUpload = [&](const UploadHandover& handover) {
    WriteBytes(handover.ParaFile, "para");
    for (const auto& file : handover.SendFiles) WriteBytes(file->NewFilePath, "work");
  };
  form.cmdForward_Click();
  duringUpload = nullptr;
  form.cmdForward_Click();

  EXPECT_TRUE(dialogs.messages.empty());
  ASSERT_EQ(handovers.size(), 2u);
  EXPECT_NE(handovers[0].paraFile, handovers[1].paraFile);
  EXPECT_EQ(ReadBytes(memo), "memo");
  EXPECT_EQ(ReadBytes(temp / u"OrvaneFileTrans.para"), "someone else's");
  EXPECT_EQ(ReadBytes(temp / u"song.tta"), "unrelated");
  EXPECT_EQ(ReadBytes(files / u"song.wav"), "RIFF");
  // Nothing of the forwards is left behind.
  size_t left = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(temp.path()))) {
    (void)entry;
    ++left;
  }
  EXPECT_EQ(left, 3u);
}

TEST_F(ForwardCommand, SourceFileGoneBeforeTheForwardEndsItWithTheErrorReport) {
  ReadyToForward();
  std::filesystem::remove(std::filesystem::path(files / u"a b.mp3"));
  form.cmdForward_Click();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text.rfind(u"cmdForward_Click\r\n53\r\n", 0), 0u);
  EXPECT_EQ(dialogs.messages[0].icon(), static_cast<UINT>(MB_ICONERROR));
  EXPECT_TRUE(handovers.empty());
}

TEST_F(ForwardCommand, TypedRecipientsAreKeptAndSavedToTheBookWhenAsked) {
  AddRecipient(u"山田 花子", u"hanako@example.jp", true);
  AddRecipient(u"Bob", u"bob@example.org");
  {
    ScopedModalHook cancel(
        [](Form& shown) { dynamic_cast<frmInputAddress&>(shown).cmdCancel_Click(); });
    form.cmdAdd_Click();
  }
  ASSERT_EQ(Rows(IDC_LVW_FORWARD), 2);
  EXPECT_EQ(CellText(form.Control(IDC_LVW_FORWARD), 0, 0), u"山田 花子");
  EXPECT_EQ(CellText(form.Control(IDC_LVW_FORWARD), 0, 1), u"hanako@example.jp");
  ASSERT_EQ(basMain::colAddressBook.size(), 1u);
  EXPECT_EQ(basMain::colAddressBook[0], form.Recipients()[0]);  // one object in both
  EXPECT_EQ(ReadBytes(AddressBookPath()),
            "\x8E\x52\x93\x63\x20\x89\xd4\x8e\x71,hanako@example.jp\r\n");
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ForwardCommand, SixthRecipientIsRefusedByBothButtons) {
  for (int i = 0; i < 5; ++i) AddRecipient(u"n", u"n@x");
  bool shown = false;
  ScopedModalHook hook([&](Form&) { shown = true; });
  form.cmdAdd_Click();
  ExpectMessage(kRecipientsFull);
  form.cmdAddress_Click();
  ExpectMessage(kRecipientsFull);
  EXPECT_FALSE(shown);
  EXPECT_EQ(Rows(IDC_LVW_FORWARD), 5);
}

TEST_F(ForwardCommand, AddressBookTakesTheChosenEntriesWithinTheRemainingPlaces) {
  for (const char16_t* name : {u"a", u"b", u"c"}) {
    auto entry = std::make_shared<clsAddress>();
    entry->SendName = name;
    entry->Email = std::u16string(name) + u"@x";
    basMain::colAddressBook.push_back(entry);
  }
  AddRecipient(u"n", u"n@x");
  ScopedModalHook hook([&](Form& shown) {
    auto& book = dynamic_cast<frmAddressBook&>(shown);
    EXPECT_EQ(book.intForwardCnt, 1);
    SelectRow(book.Control(IDC_LVW_ADDRESS), 2, true);
    SelectRow(book.Control(IDC_LVW_ADDRESS), 0, true);
    book.cmdSet_Click();
  });
  form.cmdAddress_Click();
  ASSERT_EQ(Rows(IDC_LVW_FORWARD), 3);
  EXPECT_EQ(CellText(form.Control(IDC_LVW_FORWARD), 1, 0), u"a");
  EXPECT_EQ(CellText(form.Control(IDC_LVW_FORWARD), 2, 1), u"c@x");
  EXPECT_NE(form.Recipients()[1], basMain::colAddressBook[0]);  // copies, not the book's own
}

TEST_F(ForwardCommand, RemovingARecipientNeedsASelectedRow) {
  AddRecipient(u"a", u"a@x");
  AddRecipient(u"b", u"b@x");
  form.cmdSendDel_Click();
  EXPECT_FALSE(ErrorReportOf(u"cmdSendDel_Click").empty());
  dialogs.messages.clear();
  SelectRow(form.Control(IDC_LVW_FORWARD), 1, true);
  form.cmdSendDel_Click();
  ASSERT_EQ(Rows(IDC_LVW_FORWARD), 1);
  EXPECT_EQ(CellText(form.Control(IDC_LVW_FORWARD), 0, 0), u"a");
  EXPECT_FALSE(IsHourglassPointer());
}

TEST_F(ForwardCommand, SenderNameIsPresetAndSavedUnlessCancelled) {
  std::u16string preset;
  {
    ScopedModalHook hook([&](Form& shown) {
      auto& dialog = dynamic_cast<frmSendUser&>(shown);
      preset = dialog.txtName();
      dialog.SetName(u"佐藤");
      dialog.cmdOK_Click();
    });
    form.cmdSetting_Click();
  }
  EXPECT_EQ(preset, u"山田");
  EXPECT_EQ(basMain::strSendName, u"佐藤");
  EXPECT_EQ(testing_registry::ReadSettingBytes("SendName"),
            std::string("\x8d\xb2\x93\xa1", 4) + '\0');
  {
    ScopedModalHook hook([&](Form& shown) {
      auto& dialog = dynamic_cast<frmSendUser&>(shown);
      dialog.SetName(u"別人");
      dialog.cmdCancel_Click();
    });
    form.cmdSetting_Click();
  }
  EXPECT_EQ(basMain::strSendName, u"佐藤");
}

TEST_F(ForwardCommand, HistoryButtonOpensTheHistoryWindow) {
  int opened = 0;
  form.openHistoryWindow = [&] { ++opened; };
  SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_CMD_HISTORY, BN_CLICKED),
               reinterpret_cast<LPARAM>(form.Control(IDC_CMD_HISTORY)));
  EXPECT_EQ(opened, 1);
}

}  // namespace
