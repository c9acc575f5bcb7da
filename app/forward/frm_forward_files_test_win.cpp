// The file list of the forward window: limits, duplicates, folder walks, removal.
#include "app/testing/forward_window_fixture_win.h"
#include "base/text.h"

namespace {

constexpr char16_t kSizeLimit[] = u"転送可能なファイルサイズは1GBまでです。";
constexpr int64_t kGigabyte = 1073741824;

using ForwardFiles = ForwardWindowTest;

std::u16string Numbered(const std::u16string& folder, int i) {
  return folder + u"\\f" + base::Widen(std::to_string(i)) + u".txt";
}

TEST_F(ForwardFiles, LoadedWindowShowsItsCaptionAndEmptyTotals) {
  EXPECT_EQ(form.Caption(), u"Orvaneファイル転送 - 転送");
  EXPECT_EQ(form.ControlText(IDC_LBL_FILE_COUNT), u"0");
  EXPECT_EQ(form.ControlText(IDC_LBL_FILE_SIZE), u"0 KB");
  EXPECT_EQ(form.ControlText(IDC_LBL_FILE_COUNT_TITLE), u"選択されたファイル数：");
  EXPECT_EQ(form.ControlText(IDC_CMD_FORWARD), u"転送開始");
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ForwardFiles, OneFileMustKeepTheTotalBelowOneGigabyte) {
  AddFile(MakeFile(files / u"whole.bin", kGigabyte));
  ExpectMessage(kSizeLimit);
  ASSERT_EQ(dialogs.openFileRequests.size(), 1u);
  EXPECT_EQ(dialogs.openFileRequests[0].title, u"ファイルを選択して下さい");
  EXPECT_EQ(dialogs.openFileRequests[0].filter, u"すべてのファイル (*.*)|*.*|");
  EXPECT_EQ(Rows(IDC_LVW_FILE), 0);

  AddFile(MakeFile(files / u"録音 1.wav", kGigabyte - 1));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Rows(IDC_LVW_FILE), 1);
  EXPECT_EQ(CellText(form.Control(IDC_LVW_FILE), 0, 0), u"録音 1.wav");
  EXPECT_EQ(form.ControlText(IDC_LBL_FILE_COUNT), u"1");
  EXPECT_EQ(form.ControlText(IDC_LBL_FILE_SIZE), u"1048576 KB");

  AddFile(MakeFile(files / u"one.bin", 1));
  ExpectMessage(kSizeLimit);
  EXPECT_EQ(form.TotalSize(), kGigabyte - 1);

  form.cmdFileSelect_Click();  // cancelled: nothing shown, nothing changed
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Rows(IDC_LVW_FILE), 1);
}

TEST_F(ForwardFiles, NamesAlreadyListedAreRefusedWhateverTheirFolderOrLetterCase) {
  std::filesystem::create_directories(std::filesystem::path(files / u"a"));
  std::filesystem::create_directories(std::filesystem::path(files / u"b"));
  std::filesystem::create_directories(std::filesystem::path(files / u"c"));
  AddFile(MakeFile(files / u"a\\Memo.wav"));
  AddFile(MakeFile(files / u"b\\Memo.wav"));
  ExpectMessage(u"Memo.wavは設定済みのため追加出来ません。");
  AddFile(MakeFile(files / u"c\\memo.WAV"));
  ExpectMessage(u"memo.WAVは設定済みのため追加出来ません。");
  AddFile(MakeFile(files / u"b\\Memo.tta"));  // would overwrite the work file of Memo.wav
  ExpectMessage(u"Memo.ttaは設定済みのため追加出来ません。");
  EXPECT_EQ(Rows(IDC_LVW_FILE), 1);
}

TEST_F(ForwardFiles, FolderWalkStopsAtFiveHundredFiles) {
  std::filesystem::create_directories(std::filesystem::path(files / u"many"));
  std::filesystem::create_directories(std::filesystem::path(files / u"three"));
  for (int i = 0; i < 499; ++i) MakeFile(Numbered(files / u"many", i));
  for (int i = 0; i < 3; ++i) MakeFile(Numbered(files / u"three", 1000 + i));
  AddFolder(files / u"many");
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(dialogs.folderBrowserTitles, std::vector<std::u16string>{u"フォルダを選択して下さい"});
  EXPECT_EQ(Rows(IDC_LVW_FILE), 499);

  AddFolder(files / u"three");
  ExpectMessage(u"転送可能なファイル数は500までです。");
  EXPECT_EQ(form.ControlText(IDC_LBL_FILE_COUNT), u"500");
  EXPECT_FALSE(IsHourglassPointer());

  // A full list refuses before any dialog opens.
  form.cmdFileSelect_Click();
  ExpectMessage(u"既に転送可能なファイル数が設定されています。");
  form.cmdFolderSelect_Click();
  ExpectMessage(u"既に転送可能なファイル数が設定されています。");
  EXPECT_EQ(dialogs.openFileRequests.size(), 0u);
  EXPECT_EQ(dialogs.folderBrowserTitles.size(), 2u);
}

TEST_F(ForwardFiles, FolderWalkAddsUntilTheNextFileWouldReachOneGigabyte) {
  const int64_t part = 400 * 1024 * 1024;
  for (int i = 0; i < 3; ++i) MakeFile(Numbered(files.path(), i), part);
  MakeFile(files / u"over.bin", kGigabyte + 1);  // never collected
  AddFolder(files.path());
  ExpectMessage(kSizeLimit);
  EXPECT_EQ(Rows(IDC_LVW_FILE), 2);
  EXPECT_EQ(form.TotalSize(), 2 * part);
}

TEST_F(ForwardFiles, SameFolderTwiceShowsOneMessagePerFileAndAddsNothing) {
  for (int i = 0; i < 3; ++i) MakeFile(Numbered(files.path(), i));
  AddFolder(files.path());
  AddFolder(files.path());
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 3u);
  for (const auto& text : messages) {
    EXPECT_NE(text.find(u"は設定済みのため追加出来ません。"), std::u16string::npos);
  }
  EXPECT_EQ(Rows(IDC_LVW_FILE), 3);

  AddFolder(files / u"gone");  // the walk's own error report, nothing added
  const auto report = TakeMessages();
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0].rfind(u"GetDirectoryFileInfo\r\n", 0), 0u);
  form.cmdFolderSelect_Click();  // cancelled browser
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Rows(IDC_LVW_FILE), 3);
}

TEST_F(ForwardFiles, RemovingNeedsASelectedRow) {
  form.cmdFileDel_Click();  // empty list: nothing at all
  EXPECT_TRUE(dialogs.messages.empty());
  AddFile(MakeFile(files / u"a.txt", 1000));
  AddFile(MakeFile(files / u"b.txt", 2000));

  form.cmdFileDel_Click();
  const auto report = TakeMessages();
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0].rfind(u"cmdFileDel_Click\r\n91\r\n", 0), 0u);
  EXPECT_EQ(Rows(IDC_LVW_FILE), 2);
  EXPECT_FALSE(IsHourglassPointer());

  SelectRow(form.Control(IDC_LVW_FILE), 0, true);
  form.cmdFileDel_Click();
  EXPECT_TRUE(dialogs.messages.empty());
  ASSERT_EQ(Rows(IDC_LVW_FILE), 1);
  EXPECT_EQ(CellText(form.Control(IDC_LVW_FILE), 0, 0), u"b.txt");
  EXPECT_EQ(form.TotalSize(), 2000);
  EXPECT_EQ(form.ControlText(IDC_LBL_FILE_SIZE), u"2 KB");
  EXPECT_FALSE(IsHourglassPointer());
}

}  // namespace
