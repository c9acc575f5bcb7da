// The upload window's transfer phase: the parameter data file, the control driven by dispatch
// identifier, the server's answer, cancel during the transfer and the log file.
#include "app/main/file_utils_win.h"
#include "app/upload/answer_message.h"
#include "app/upload/upload_log_win.h"
#include "app/upload/upload_window_fixture_win.h"
#include "app/upload/zorvex_members_win.h"
#include "base/ansi.h"
#include "control/hosting/dispatch_call_win.h"
#include "control/object/bstr_text_win.h"

namespace {

using ::zorvel::testing::EngineScript;
using ::zorvel::testing::PumpUntil;

class UploadTransfer : public UploadWindowTest {
 protected:
  void SetUp() override {
    UploadWindowTest::SetUp();
    AddFile(u"a.wav", "RIFF-one", u"a.tta");
    AddFile(u"my memo.txt", "memo", u"my+memo.txt");
  }

  long Number(DISPID id) {
    VARIANT value;
    EXPECT_EQ(GetDispatchProperty(form.bfpMain(), id, &value), S_OK);
    const long number = value.vt == VT_I4 ? value.lVal : -12345;
    VariantClear(&value);
    return number;
  }

  std::string Text(DISPID id) {
    VARIANT value;
    EXPECT_EQ(GetDispatchProperty(form.bfpMain(), id, &value), S_OK);
    const std::string text =
        value.vt == VT_BSTR ? zorvel::AnsiFromBstr(value.bstrVal) : std::string();
    VariantClear(&value);
    return text;
  }

  // The control's file list as FilePath reads it.
  std::vector<std::string> ListEntries() {
    VARIANT value;
    EXPECT_EQ(GetDispatchProperty(form.bfpMain(), zorvel::kFilePath, &value), S_OK);
    std::vector<std::string> entries;
    if (value.vt == (VT_ARRAY | VT_VARIANT)) {
      LONG low = 0;
      LONG high = -1;
      SafeArrayGetLBound(value.parray, 1, &low);
      SafeArrayGetUBound(value.parray, 1, &high);
      for (LONG i = low; i <= high; ++i) {
        VARIANT entry;
        VariantInit(&entry);
        SafeArrayGetElement(value.parray, &i, &entry);
        if (entry.vt == VT_BSTR) entries.push_back(zorvel::AnsiFromBstr(entry.bstrVal));
        VariantClear(&entry);
      }
    }
    VariantClear(&value);
    return entries;
  }

  std::string Ansi(const std::u16string& text) { return base::ToAnsi(text); }
};

TEST_F(UploadTransfer, ControlIsFilledInOrderAndTheParameterFileDescribesTheForward) {
  struct Seen {
    std::string url;
    long hide = 0, barHeight = 0, barWidth = 0;
    std::vector<std::string> entries;
    std::string para;
    bool frameShown = false, controlShown = false, cancelEnabled = false;
  } seen;
  Engine().duringRun = [&] {
    seen.url = Text(zorvel::kUrl);
    seen.hide = Number(zorvel::kHide);
    seen.barHeight = Number(zorvel::kBarHeight);
    seen.barWidth = Number(zorvel::kBarWidth);
    seen.entries = ListEntries();
    seen.para = ReadBytes(work / u"OrvaneFileTrans.para");
    seen.frameShown = IsWindowVisible(form.Control(IDC_FRA_SEND)) &&
                      IsWindowVisible(form.Control(IDC_LBL_TITLE_1)) &&
                      IsWindowVisible(form.Control(IDC_FRA_COMPRESS));
    seen.cancelEnabled = IsWindowEnabled(form.Control(IDC_CMD_CANCEL));
  };
  Open();
  ASSERT_TRUE(WaitForClose());

  EXPECT_EQ(seen.url, "http://127.0.0.1:9/upload");
  EXPECT_EQ(seen.hide, 7);
  EXPECT_EQ(seen.barHeight, 20);
  EXPECT_EQ(seen.barWidth, 440);
  // The control sorts its list; every entry is a full path of the forward's folder.
  std::vector<std::string> expected{Ansi(work / u"a.tta"), Ansi(work / u"my+memo.txt"),
                                    Ansi(work / u"OrvaneFileTrans.para")};
  std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
    return _stricmp(a.c_str(), b.c_str()) < 0;
  });
  EXPECT_EQ(seen.entries, expected);
  EXPECT_TRUE(seen.frameShown);
  EXPECT_TRUE(seen.cancelEnabled);
  EXPECT_EQ(seen.para, Ansi(u"山田\x1fPID-7\x1f鈴木\x1fsuzuki@example.jp"
                            u"\x1f\x1f\x1f\x1f\x1f\x1f\x1f\x1f\x1f一行目\x1d二行目"
                            u"\x1e"
                            u"a.wav\x1f"
                            u"8\x1fmymemo.txt\x1f"
                            u"4"
                            u"\x1e"
                            u"a.tta\x1f"
                            u"8\x1fmy+memo.txt\x1f"
                            u"4\r\n"));
}

TEST_F(UploadTransfer, EachAnswerGetsItsMessageAndTheWindowCloses) {
  const std::string answers[] = {"1\r\n", "-1", "-2", "-3", "-4", "500 Internal Server Error",
                                 "",      "1 "};
  for (const std::string& answer : answers) {
    SCOPED_TRACE(answer);
    dialogs.messages.clear();
    Engine().body = answer;
    Open();
    ASSERT_TRUE(WaitForClose());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const AnswerMessage expected = MessageForAnswer(base::FromAnsi(answer));
    EXPECT_EQ(dialogs.messages[0].text, expected.text);
    EXPECT_EQ(dialogs.messages[0].caption, u"Orvaneファイル転送");
    EXPECT_EQ(dialogs.messages[0].buttons(), static_cast<UINT>(MB_OK));
    EXPECT_EQ(dialogs.messages[0].icon(),
              static_cast<UINT>(expected.success ? MB_ICONINFORMATION : MB_ICONERROR));
    EXPECT_EQ(form.bfpMain(), nullptr);  // released with the window, once Start had returned
  }
  EXPECT_EQ(dialogs.messages[0].text, u"ファイル転送でエラーが発生しました。(ErrCode：1 )");
  EXPECT_EQ(Engine().calls, 8);
}

TEST_F(UploadTransfer, CancelDuringTheTransferCancelsTheControlAndClosesAtOnce) {
  Engine().end = EngineScript::End::kWaitForCancel;
  bool hiddenWhileRunning = false;
  bool stillLoadedWhileRunning = false;
  Engine().duringRun = [&] {
    ClickCancelLater();
    hiddenWhileRunning = PumpUntil([&] { return !form.IsVisible(); });
    stillLoadedWhileRunning = form.IsLoaded();
  };
  Open();
  ASSERT_TRUE(WaitForClose());
  EXPECT_TRUE(hiddenWhileRunning);
  EXPECT_TRUE(stillLoadedWhileRunning);  // destroyed only after Start returned
  EXPECT_EQ(form.UpLoadStatus(), -999);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(UploadTransfer, FailedConnectionLeavesTheWindowOpenUntilCancel) {
  Engine().end = EngineScript::End::kConnectFailure;
  Open();
  ASSERT_TRUE(PumpUntil([&] { return Engine().calls == 1; }));
  PumpUntil([] { return false; }, 300);
  EXPECT_TRUE(form.IsLoaded());
  EXPECT_TRUE(form.IsVisible());
  EXPECT_TRUE(dialogs.messages.empty());

  form.cmdCancel_Click();
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(form.UpLoadStatus(), -999);
}

TEST_F(UploadTransfer, CloseBoxActsAsCancel) {
  Engine().end = EngineScript::End::kConnectFailure;
  Open();
  ASSERT_TRUE(PumpUntil([&] { return Engine().calls == 1; }));
  SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.IsLoaded());
}

class UploadLog : public UploadTransfer {
 protected:
  void SetUp() override {
    UploadTransfer::SetUp();
    path = UploadLogPath();
    Remove();
  }
  void TearDown() override {
    Remove();
    UploadTransfer::TearDown();
  }
  void Remove() {
    SetFileAttributesW(reinterpret_cast<const wchar_t*>(path.c_str()), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(reinterpret_cast<const wchar_t*>(path.c_str()));
  }
  std::u16string path;
};

TEST_F(UploadLog, WithTheSwitchEachLogTextIsAppendedAsABlock) {
  EXPECT_EQ(path, ProgramFolder() + u"\\fileup.log");
  WriteBytes(path, "before\r\n");
  basMain::blnLog = true;
  Open();
  ASSERT_TRUE(WaitForClose());
  const std::string log = ReadBytes(path);
  const std::string hyphens = "------------------------------\r\n";
  ASSERT_EQ(log.rfind("before\r\n" + hyphens, 0), 0u) << log;
  // Start, connecting and waiting; the control's last line comes after the window began to
  // close and is dropped.
  size_t blocks = 0;
  for (size_t at = log.find(hyphens); at != std::string::npos; at = log.find(hyphens, at + 1)) {
    ++blocks;
  }
  EXPECT_EQ(blocks, 3u) << log;
  EXPECT_NE(log.find("Connecting... 127.0.0.1:80\r\n"), std::string::npos);
  EXPECT_NE(log.find("Start uploading. "), std::string::npos);
  EXPECT_EQ(log.find("End uploading."), std::string::npos);
  EXPECT_EQ(log.substr(log.size() - 2), "\r\n");

  // Texts go out in the ANSI code page.
  EXPECT_TRUE(AppendUploadLog(path, u"送信"));
  const std::string more = ReadBytes(path);
  EXPECT_EQ(more.substr(log.size()), hyphens + "\x91\x97\x90\x4d\r\n");
}

TEST_F(UploadLog, WithoutTheSwitchTheFileIsNotTouched) {
  Open();
  ASSERT_TRUE(WaitForClose());
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(UploadLog, LogFileThatCannotBeWrittenChangesNothingElse) {
  // A folder in the log file's place: it can be neither opened nor written as a file.
  ASSERT_TRUE(CreateDirectoryW(reinterpret_cast<const wchar_t*>(path.c_str()), nullptr));
  basMain::blnLog = true;
  Open();
  ASSERT_TRUE(WaitForClose());
  EXPECT_FALSE(AppendUploadLog(path, u"x"));
  RemoveDirectoryW(reinterpret_cast<const wchar_t*>(path.c_str()));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, u"完了しました。");
  EXPECT_EQ(Engine().calls, 1);
}

}  // namespace
