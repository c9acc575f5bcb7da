// Starts OrvaneFts.exe in forward mode against the fixture's orvane-server holding kept and
// expired forwards, opens the history from the forward window and reads it from outside.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/history/frm_history_win.h"
#include "app/history/history_screen_win.h"
#include "app/history/history_server_win.h"
#include "app/resources/form_ids.h"
#include "app/testing/registry_fixture_win.h"
#include "app/testing/running_program_win.h"
#include "base/testing/screenshot_win.h"

namespace {

using history_testing::PostForm;
using history_testing::RemoteListView;
using history_testing::StoreForward;

constexpr wchar_t kForwardCaption[] = L"Orvaneファイル転送 - 転送";
constexpr wchar_t kHistoryCaption[] = L"Orvaneファイル転送 - 転送履歴";
constexpr long long kDecemberFirst = 1796115600;  // 2026/12/01 09:00:00 UTC

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

class OrvaneFtsHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_registry::ClearConfiguration();
    testing_registry::SetProductId("V01", "PID-J");
    testing_registry::SetSetting("HistoryUrl", Narrow(history_testing::ServerUrl()) + "/history");
  }
  void TearDown() override {
    testing_registry::ClearConfiguration();
    PostForm("/test/reset", "");
  }

  static std::vector<std::wstring> Row(const RemoteListView& list, int row, int columns) {
    std::vector<std::wstring> texts;
    for (int column = 0; column < columns; ++column) texts.push_back(list.Cell(row, column));
    return texts;
  }
};

TEST_F(OrvaneFtsHistory, HistoryButtonShowsKeptAndExpiredForwardsAndAsksAgainEachTime) {
  ASSERT_FALSE(history_testing::ServerUrl().empty()) << "run through ctest: the fixture sets it";
  const std::string pinned = "pinned=" + std::to_string(kDecemberFirst);
  ASSERT_FALSE(PostForm("/test/clock", pinned).empty());
  ASSERT_TRUE(StoreForward("PID-J", {{"a", "a@x.jp"}, {"", ""}, {"c", "c@x.jp"}},
                           {{"old.txt", std::string(4096, 'o')}}));
  ASSERT_FALSE(PostForm("/test/clock", "offset_days=3&" + pinned).empty());
  ASSERT_TRUE(StoreForward("PID-J", {{"b", "b@x.jp"}},
                           {{"x.tta", std::string(10240, 'x')}, {"y.txt", std::string(512, 'y')}}));
  ASSERT_FALSE(PostForm("/test/clock", "offset_days=7&" + pinned).empty());

  RunningProgram program;
  HWND forward = program.Window(kForwardCaption);
  ASSERT_NE(forward, nullptr);
  RunningProgram::Click(forward, IDC_CMD_HISTORY);
  HWND history = program.Window(kHistoryCaption);
  ASSERT_NE(history, nullptr);
  program.Settle();
  EXPECT_FALSE(IsWindowEnabled(forward));

  const RemoteListView rows(GetDlgItem(history, IDC_LVW_HISTORY));
  const RemoteListView files(GetDlgItem(history, IDC_LVW_HISTORY_FILE));
  ASSERT_EQ(rows.Rows(), 2);
  // The empty second name ends the recipients.
  EXPECT_EQ(Row(rows, 0, 4), (std::vector<std::wstring>{L"1", L"a(a@x.jp)", L"2026年12月01日 09:00",
                                                        L"2026年12月06日 09:00"}));
  EXPECT_EQ(Row(rows, 1, 4), (std::vector<std::wstring>{L"2", L"b(b@x.jp)", L"2026年12月04日 09:00",
                                                        L"2026年12月09日 09:00"}));
  EXPECT_EQ(TextOf(GetDlgItem(history, IDC_LBL_SAVE_SIZE)), L"11 KB");  // 10752 bytes kept
  ASSERT_EQ(files.Rows(), 1);
  EXPECT_EQ(Row(files, 0, 3), (std::vector<std::wstring>{L"1", L"old.txt", L"4 KB"}));

  const screenshots::Image image = screenshots::Capture(history);
  screenshots::Save(image, L"history");
  const HWND list = GetDlgItem(history, IDC_LVW_HISTORY);
  for (int column = 0; column < 4; ++column) {
    EXPECT_GT(history_testing::PixelsOf(image, history, list, rows.CellRect(0, column),
                                        kDeletedRowColour),
              0)
        << column;
    EXPECT_EQ(history_testing::PixelsOf(image, history, list, rows.CellRect(1, column),
                                        kDeletedRowColour),
              0)
        << column;
  }

  rows.Select(1);
  program.Settle();
  ASSERT_EQ(files.Rows(), 2);
  EXPECT_EQ(Row(files, 0, 3), (std::vector<std::wstring>{L"1", L"x.tta", L"10 KB"}));
  EXPECT_EQ(Row(files, 1, 3), (std::vector<std::wstring>{L"2", L"y.txt", L"1 KB"}));

  RunningProgram::Dismiss(history, IDC_CMD_HISTORY_CLOSE);
  program.Settle();
  EXPECT_TRUE(IsWindowEnabled(forward));

  // A forward stored meanwhile shows at the next opening.
  ASSERT_TRUE(StoreForward("PID-J", {{"d", "d@x.jp"}}, {{"z.txt", std::string(1024, 'z')}}));
  RunningProgram::Click(forward, IDC_CMD_HISTORY);
  HWND again = program.Window(kHistoryCaption);
  ASSERT_NE(again, nullptr);
  program.Settle();
  const RemoteListView rowsAgain(GetDlgItem(again, IDC_LVW_HISTORY));
  EXPECT_EQ(rowsAgain.Rows(), 3);
  EXPECT_EQ(TextOf(GetDlgItem(again, IDC_LBL_SAVE_SIZE)), L"12 KB");
  PostMessageW(again, WM_CLOSE, 0, 0);
  RunningProgram::WaitHidden(again);

  RunningProgram::Click(forward, IDC_CMD_END);
  EXPECT_TRUE(program.Ends());
}

}  // namespace
