// The history window against the fixture's orvane-server, and against a loopback peer for the
// replies the server never gives.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <string>

#include "app/forms/list_view_win.h"
#include "app/forward/window_handover_win.h"
#include "app/history/frm_history_win.h"
#include "app/history/history_screen_win.h"
#include "app/history/history_server_win.h"
#include "app/main/bas_main.h"
#include "app/resources/form_ids.h"
#include "app/testing/paint_watch_win.h"
#include "app/testing/scripted_dialogs_win.h"
#include "base/testing/screenshot_win.h"
#include "components/http/loopback_peer_win.h"

namespace {

using history_testing::PixelsOf;
using history_testing::PostForm;
using history_testing::StoreForward;

constexpr long long kNovemberFirst = 1793523907;  // 2026/11/01 09:05:07 UTC

class HistoryWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { basMain::strProductID = u"PID-H"; }
  void TearDown() override { form.Unload(); }

  HWND History() const { return form.Control(IDC_LVW_HISTORY); }
  HWND Files() const { return form.Control(IDC_LVW_HISTORY_FILE); }
  std::u16string SizeLabel() const { return form.ControlText(IDC_LBL_SAVE_SIZE); }

  std::vector<std::u16string> Row(HWND list, int row) const {
    std::vector<std::u16string> texts;
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int column = 0; column < columns; ++column) texts.push_back(CellText(list, row, column));
    return texts;
  }

  std::u16string ErrorReportOf(std::u16string_view routine) const {
    for (const ShownMessage& message : dialogs.messages) {
      if (message.text.rfind(std::u16string(routine) + u"\r\n", 0) == 0) return message.text;
    }
    return {};
  }

  ScriptedDialogs dialogs;
  frmHistory form;
};

TEST_F(HistoryWindowTest, KeptAndExpiredForwardsOfTheServerWithTheirFiles) {
  const std::u16string url = history_testing::ServerUrl();
  ASSERT_FALSE(url.empty()) << "run through ctest: the server fixture sets it";
  basMain::strHistoryUrl = url + u"/history";
  basMain::strProductID = u"PID-H1";
  const std::string pinned = "pinned=" + std::to_string(kNovemberFirst);

  ASSERT_FALSE(PostForm("/test/clock", pinned).empty());
  ASSERT_TRUE(StoreForward("PID-H1",
                           {{"\x97\xe9\x96\xd8", "s@x.jp"}, {"b", "b@x.jp"}, {"c", "c@x.jp"}},
                           {{"a.txt", std::string(1536, 'a')}, {"b.txt", std::string(1535, 'b')}}));
  ASSERT_FALSE(PostForm("/test/clock", "offset_days=4&" + pinned).empty());
  ASSERT_TRUE(StoreForward("PID-H1", {{"d", "d@x.jp"}},
                           {{"v.tta", std::string(3000, 'v')}, {"e.txt", "e"}}));
  // Six days on, the first forward's files are gone and the second's are kept.
  ASSERT_FALSE(PostForm("/test/clock", "offset_days=6&" + pinned).empty());

  form.Load();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_FALSE(IsHourglassPointer());
  ASSERT_EQ(RowCount(History()), 2);
  EXPECT_EQ(Row(History(), 0),
            (std::vector<std::u16string>{u"1", u"鈴木(s@x.jp)、b(b@x.jp)、c(c@x.jp)",
                                         u"2026年11月01日 09:05", u"2026年11月06日 09:05"}));
  EXPECT_EQ(Row(History(), 1),
            (std::vector<std::u16string>{u"2", u"d(d@x.jp)", u"2026年11月05日 09:05",
                                         u"2026年11月10日 09:05"}));
  EXPECT_EQ(SizeLabel(), u"3 KB");  // 3000 bytes kept; the expired 3071 do not count
  ASSERT_EQ(RowCount(Files()), 2);  // the first forward's files, shown at once
  EXPECT_EQ(Row(Files(), 0), (std::vector<std::u16string>{u"1", u"a.txt", u"2 KB"}));
  EXPECT_EQ(Row(Files(), 1), (std::vector<std::u16string>{u"2", u"b.txt", u"1 KB"}));

  // A click on a row lists its files, numbered from 1 again.
  SelectRow(History(), 1, true);
  ASSERT_EQ(RowCount(Files()), 2);
  EXPECT_EQ(Row(Files(), 0), (std::vector<std::u16string>{u"1", u"v.tta", u"3 KB"}));
  EXPECT_EQ(Row(Files(), 1), (std::vector<std::u16string>{u"2", u"e.txt", u"0 KB"}));
  SelectRow(History(), 0, true);
  EXPECT_EQ(CellText(Files(), 0, 1), u"a.txt");

  // The expired row is drawn grey in every column, the kept one is not.
  form.Show();
  for (int i = 0; i < 20; ++i) {
    DoEvents();
    Sleep(20);
  }
  SelectRow(History(), 0, false);
  UpdateWindow(History());
  const screenshots::Image image = screenshots::Capture(form.hwnd());
  screenshots::Save(image, L"history_window");
  for (int column = 0; column < 4; ++column) {
    RECT expired, kept;
    ListView_GetSubItemRect(History(), 0, column, LVIR_LABEL, &expired);
    ListView_GetSubItemRect(History(), 1, column, LVIR_LABEL, &kept);
    EXPECT_GT(PixelsOf(image, form.hwnd(), History(), expired, kDeletedRowColour), 0) << column;
    EXPECT_EQ(PixelsOf(image, form.hwnd(), History(), kept, kDeletedRowColour), 0) << column;
  }

  // "閉じる" unloads the window; the next opening asks the server again.
  SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_CMD_HISTORY_CLOSE, BN_CLICKED),
               reinterpret_cast<LPARAM>(form.Control(IDC_CMD_HISTORY_CLOSE)));
  EXPECT_FALSE(form.IsLoaded());
  ASSERT_TRUE(StoreForward("PID-H1", {{"f", "f@x.jp"}}, {{"g.txt", std::string(2048, 'g')}}));
  form.Load();
  EXPECT_EQ(RowCount(History()), 3);
  EXPECT_EQ(SizeLabel(), u"5 KB");
  PostForm("/test/reset", "");
}

TEST_F(HistoryWindowTest, ShownModalByTheHistoryButtonsHandOver) {
  LoopbackHttpPeer server;
  server.SetBody("");
  basMain::strHistoryUrl = server.Url("/history");
  int shown = 0;
  ScopedModalHook hook([&](Form& opened) {
    auto& window = dynamic_cast<frmHistory&>(opened);
    ++shown;
    EXPECT_EQ(window.Caption(), u"Orvaneファイル転送 - 転送履歴");
    EXPECT_EQ(window.ControlText(IDC_CMD_HISTORY_CLOSE), u"閉じる");
    EXPECT_EQ(window.ControlText(IDC_LBL_SAVE_SIZE_TITLE), u"保存ファイルサイズ：");
    EXPECT_EQ(window.ControlText(IDC_LBL_SAVE_SIZE), u"0 KB");
    window.cmdClose_Click();
  });
  ShowHistoryWindow(nullptr);
  ShowHistoryWindow(nullptr);
  EXPECT_EQ(shown, 2);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].substr(requests[1].find("\r\n\r\n") + 4), "productid=PID-H");
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(HistoryWindowTest, MalformedRecordIsReportedAndTheRecordsBeforeItStay) {
  LoopbackHttpPeer server;
  const std::string US = "\x1f";
  const std::string good = "a" + US + "a@x.jp" + std::string(8, '\x1f') + US +
                           "2012/01/29 23:59:00" + US + "0" + US + "f.txt" + US + "2048\r\n";
  server.SetBody(good + "b" + US + "b@x.jp" + US + "only three\r\n" + good);
  basMain::strHistoryUrl = server.Url("/history");
  form.Load();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text.rfind(u"SetHistoryInfo\r\n9\r\n", 0), 0u)
      << std::string(dialogs.messages[0].text.begin(), dialogs.messages[0].text.end());
  EXPECT_EQ(dialogs.messages[0].icon(), static_cast<UINT>(MB_ICONSTOP));
  ASSERT_EQ(RowCount(History()), 1);
  EXPECT_EQ(Row(History(), 0),
            (std::vector<std::u16string>{u"1", u"a(a@x.jp)", u"2012年01月29日 23:59",
                                         u"2012年02月03日 23:59"}));
  EXPECT_EQ(CellText(Files(), 0, 1), u"f.txt");
  EXPECT_EQ(SizeLabel(), u" 0000000 KB");
}

TEST_F(HistoryWindowTest, TheQueryKeepsTheOwnerPaintedWithoutInput) {
  Form owner(IDD_HISTORY);
  owner.Show();
  UpdateWindow(owner.hwnd());
  LoopbackHttpPeer server;
  server.SetBody("");
  server.SetDelay(1500);
  basMain::strHistoryUrl = server.Url("/history");
  frmHistory window(owner.hwnd());
  {
    const PaintWatch watch(owner.hwnd());
    window.Load();
    EXPECT_GE(watch.ticks(), 5) << "the thread went on with its messages";
    EXPECT_FALSE(watch.enabledSeen());
    EXPECT_TRUE(watch.painted()) << "the owner was painted while the server took its time";
  }
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(window.ControlText(IDC_LBL_SAVE_SIZE), u"0 KB");
  window.Unload();
  owner.Unload();
}

TEST_F(HistoryWindowTest, UnreachableServerGivesEmptyListsAndNoSize) {
  LoopbackHttpPeer closed;
  basMain::strHistoryUrl = closed.Url("/history");
  closed.SetResponse("HTTP/1.0 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n");
  form.Load();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_FALSE(ErrorReportOf(u"GetHistoryInfo").empty());
  EXPECT_EQ(RowCount(History()), 0);
  EXPECT_EQ(RowCount(Files()), 0);
  EXPECT_EQ(SizeLabel(), u"0 KB");
  form.Unload();

  dialogs.messages.clear();
  basMain::strHistoryUrl = u"http://127.0.0.1:1/history";
  form.Load();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_FALSE(ErrorReportOf(u"GetHistoryInfo").empty());
  EXPECT_EQ(RowCount(History()), 0);
  EXPECT_FALSE(IsHourglassPointer());
}

TEST_F(HistoryWindowTest, DateThatIsNoDateEndsTheListWithTheRowsBeforeIt) {
  LoopbackHttpPeer server;
  const std::string US = "\x1f";
  const std::string empty(8, '\x1f');
  server.SetBody("a" + US + "a@x.jp" + empty + US + "2012/03/04 9:05:00" + US + "1" + US + "f.txt" +
                 US + "1\r\n" + "b" + US + "b@x.jp" + empty + US + "yesterday" + US + "0" + US +
                 "g.txt" + US + "1\r\n");
  basMain::strHistoryUrl = server.Url("/history");
  form.Load();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text.rfind(u"SetHistoryList\r\n13\r\n", 0), 0u);
  ASSERT_EQ(RowCount(History()), 1);
  EXPECT_EQ(CellText(History(), 0, 3), u"2012年03月09日 09:05");
  EXPECT_EQ(RowCount(Files()), 0);
  EXPECT_FALSE(GetWindowLongW(History(), GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(SizeLabel(), u"0 KB");
}

}  // namespace
