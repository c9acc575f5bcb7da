// Files and folders dropped onto the forward window's file list from another thread, as
// Explorer drops them: the same checks and messages as the file and folder dialogs.
#include "app/testing/forward_window_fixture_win.h"
#include "app/testing/shell_drop_win.h"
#include "base/text.h"
#include "control/testing/hosted_control_win.h"

namespace {

constexpr int64_t kGigabyte = 1073741824;

class ForwardDrop : public ForwardWindowTest {
 protected:
  HWND List() { return form.Control(IDC_LVW_FILE); }

  std::vector<std::u16string> ListedNames() {
    std::vector<std::u16string> names;
    for (int row = 0; row < Rows(IDC_LVW_FILE); ++row) names.push_back(CellText(List(), row, 0));
    return names;
  }

  // A folder holding `count` files of `size` bytes, f0.txt ...
  std::u16string MakeFolder(const std::u16string& name, int count, int64_t size = 1) {
    const std::u16string folder = files / name;
    std::filesystem::create_directories(std::filesystem::path(folder));
    for (int i = 0; i < count; ++i) {
      MakeFile(folder + u"\\" + name + base::Widen(std::to_string(i)) + u".txt", size);
    }
    return folder;
  }

  void Drop(const std::vector<std::u16string>& paths) {
    PostDropFiles(List(), paths);
    zorvel::testing::PumpFor(100);
  }
};

TEST_F(ForwardDrop, FilesAndAFolderDroppedAsMessagesAreListedInTheOrderDropped) {
  const auto folder = MakeFolder(u"d", 3, 2000);
  Drop({MakeFile(files / u"録音 1.wav", 3000), folder, MakeFile(files / u"z.txt", 1000)});
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(ListedNames(), (std::vector<std::u16string>{u"録音 1.wav", u"d0.txt", u"d1.txt",
                                                        u"d2.txt", u"z.txt"}));
  EXPECT_EQ(form.ControlText(IDC_LBL_FILE_COUNT), u"5");
  EXPECT_EQ(form.ControlText(IDC_LBL_FILE_SIZE), u"10 KB");

  // While a dialog of the window is open over it, the disabled window takes nothing.
  EnableWindow(form.hwnd(), FALSE);
  Drop({MakeFile(files / u"later.txt")});
  EXPECT_EQ(DropOnRegisteredTarget(List(), {files / u"later.txt"}).effect,
            static_cast<DWORD>(DROPEFFECT_NONE));
  EnableWindow(form.hwnd(), TRUE);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Rows(IDC_LVW_FILE), 5);

  // Dropped again: one message per file, in order, as the dialogs give them.
  Drop({files / u"z.txt", folder});
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0], u"z.txtは設定済みのため追加出来ません。");
  EXPECT_EQ(messages[3], u"d2.txtは設定済みのため追加出来ません。");
  EXPECT_EQ(Rows(IDC_LVW_FILE), 5);
  EXPECT_EQ(form.TotalSize(), 10000);
}

TEST_F(ForwardDrop, AnOleDragWithTheShellsFileFormatIsTakenAsACopy) {
  const auto folder = MakeFolder(u"e", 2, 1024);
  const DragResult drag =
      DropOnRegisteredTarget(List(), {folder, MakeFile(files / u"memo.wav", 2048)});
  EXPECT_EQ(drag.result, DRAGDROP_S_DROP);
  EXPECT_EQ(drag.effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(ListedNames(), (std::vector<std::u16string>{u"e0.txt", u"e1.txt", u"memo.wav"}));
  EXPECT_EQ(form.ControlText(IDC_LBL_FILE_COUNT), u"3");
  EXPECT_EQ(form.ControlText(IDC_LBL_FILE_SIZE), u"4 KB");

  // A duplicate dropped this way gives the dialogs' message.
  DropOnRegisteredTarget(List(), {files / u"memo.wav"});
  ExpectMessage(u"memo.wavは設定済みのため追加出来ません。");

  // Over the recipients the window takes no file, either way.
  const std::u16string other = MakeFile(files / u"other.txt");
  EXPECT_EQ(DropOnRegisteredTarget(form.Control(IDC_LVW_FORWARD), {other}).effect,
            static_cast<DWORD>(DROPEFFECT_NONE));
  PostDropFiles(form.Control(IDC_LVW_FORWARD), {other});
  zorvel::testing::PumpFor(100);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Rows(IDC_LVW_FILE), 3);
}

TEST_F(ForwardDrop, LimitsGiveTheDialogsMessagesAndAFullListRefusesOnce) {
  Drop({MakeFile(files / u"whole.bin", kGigabyte)});
  ExpectMessage(u"転送可能なファイルサイズは1GBまでです。");
  DropOnRegisteredTarget(List(), {files / u"whole.bin"});
  ExpectMessage(u"転送可能なファイルサイズは1GBまでです。");
  EXPECT_EQ(Rows(IDC_LVW_FILE), 0);

  Drop({MakeFolder(u"m", 499), MakeFolder(u"n", 3)});
  ExpectMessage(u"転送可能なファイル数は500までです。");
  EXPECT_EQ(form.ControlText(IDC_LBL_FILE_COUNT), u"500");

  // Every path after a full list would only repeat the refusal: it is shown once.
  Drop({MakeFile(files / u"p.txt"), MakeFile(files / u"q.txt"), files / u"n"});
  ExpectMessage(u"既に転送可能なファイル数が設定されています。");
  EXPECT_EQ(Rows(IDC_LVW_FILE), 500);
  EXPECT_FALSE(IsHourglassPointer());
}

}  // namespace
