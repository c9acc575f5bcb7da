#include "app/main/file_utils_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/main/bas_main.h"
#include "app/main/show_error_message_win.h"
#include "app/testing/scripted_dialogs_win.h"
#include "app/testing/temp_folder_win.h"

namespace {

// A file of `size` bytes that takes no disk space.
void MakeSparseFile(const std::u16string& path, int64_t size) {
  HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_WRITE, 0,
                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = size;
  ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
}

std::vector<std::u16string> Names(const FileCollection& files) {
  std::vector<std::u16string> names;
  for (const auto& file : files) names.push_back(file->FileName);
  std::sort(names.begin(), names.end());
  return names;
}

class FileUtils : public ::testing::Test {
 protected:
  ScriptedDialogs dialogs;
  TempFolder folder;
};

TEST_F(FileUtils, CheckFileExistSeesFilesOnly) {
  WriteBytes(folder / u"録音.wav", "x");
  std::filesystem::create_directory(std::filesystem::path(folder / u"sub"));
  EXPECT_TRUE(CheckFileExist(folder / u"録音.wav"));
  EXPECT_FALSE(CheckFileExist(folder / u"sub"));
  EXPECT_FALSE(CheckFileExist(folder / u"missing.wav"));
  EXPECT_FALSE(CheckFileExist(folder / u"*.wav"));
  EXPECT_FALSE(CheckFileExist(u"\"" + (folder / u"録音.wav") + u"\""));
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FileUtils, TemporaryDirectoryEndsWithBackslash) {
  basMain::strTempDir.clear();
  GetTempDirPath();
  ASSERT_FALSE(basMain::strTempDir.empty());
  EXPECT_EQ(basMain::strTempDir.back(), u'\\');
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(basMain::strTempDir)));
}

TEST_F(FileUtils, FolderFilesUpToOneGigabyteAreCollected) {
  MakeSparseFile(folder / u"exact.bin", kOneGigabyte);
  MakeSparseFile(folder / u"over.bin", kOneGigabyte + 1);
  WriteBytes(folder / u"声 1.wav", "RIFF");
  std::filesystem::create_directory(std::filesystem::path(folder / u"sub"));
  WriteBytes(folder / u"sub\\inner.txt", "not collected");

  FileCollection files;
  EXPECT_TRUE(GetDirectoryFileInfo(folder.path(), files));
  EXPECT_EQ(Names(files), (std::vector<std::u16string>{u"exact.bin", u"声 1.wav"}));
  for (const auto& file : files) {
    EXPECT_EQ(file->FilePath, folder / file->FileName);
    EXPECT_EQ(file->FileSize, file->FileName == u"exact.bin" ? kOneGigabyte : 4);
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FileUtils, MissingFolderIsReportedAndKeepsWhatWasCollected) {
  FileCollection files(1, std::make_shared<clsFile>());
  EXPECT_FALSE(GetDirectoryFileInfo(folder / u"gone", files));
  EXPECT_EQ(files.size(), 1u);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text.rfind(u"GetDirectoryFileInfo\r\n", 0), 0u);
}

TEST_F(FileUtils, TemporaryWorkFileNameIsTheEncodedName) {
  basMain::strTempDir = u"C:\\temp\\";
  WriteBytes(folder / u"a b.wav", "x");
  WriteBytes(folder / u"録音.WAV", "x");
  EXPECT_EQ(GetTempFilePath(folder / u"a b.wav"), u"C:\\temp\\a+b.wav");
  // The name comes from the file system, whatever case the caller used.
  EXPECT_EQ(GetTempFilePath(folder / u"録音.wav"), u"C:\\temp\\%98%5E%89%B9.WAV");
  EXPECT_THROW(GetTempFilePath(folder / u"gone.wav"), AppError);
}

TEST_F(FileUtils, ShortPathOfExistingAndMissingFiles) {
  WriteBytes(folder / u"a long file name.ofts", "x");
  const std::u16string shortPath = GetShortFilePath(folder / u"a long file name.ofts");
  EXPECT_FALSE(shortPath.empty());
  EXPECT_EQ(shortPath.find(u' '), std::u16string::npos);
  EXPECT_EQ(GetShortFilePath(folder / u"missing.ofts"), u"");
}

TEST_F(FileUtils, SelectFolderGivesInitialFolderOnCancel) {
  dialogs.folderAnswers = {std::nullopt, std::nullopt, u"D:\\chosen"};
  EXPECT_EQ(SelectFolder(nullptr, u"保存先", u""), u"");
  EXPECT_EQ(SelectFolder(nullptr, u"保存先", u"C:\\start"), u"C:\\start");
  EXPECT_EQ(SelectFolder(nullptr, u"保存先", u"C:\\start"), u"D:\\chosen");
  EXPECT_EQ(dialogs.folderBrowserTitles.size(), 3u);
}

TEST_F(FileUtils, ByteLimitOfATextControl) {
  HWND edit = CreateWindowW(L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                            nullptr);
  ASSERT_NE(edit, nullptr);
  std::wstring text(500, L'あ');
  SetWindowTextW(edit, text.c_str());
  EXPECT_TRUE(ChkNumberOfBases(edit, 1001));
  SetWindowTextW(edit, (text + L"x").c_str());
  EXPECT_FALSE(ChkNumberOfBases(edit, 1001));
  EXPECT_TRUE(ChkNumberOfBases(nullptr, 1));
  DestroyWindow(edit);
}

TEST_F(FileUtils, ErrorReportLayout) {
  ShowErrorMessage(u"cmdForward_Click", AppError(53, u"ファイルが見つかりません。"));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, u"cmdForward_Click\r\n53\r\nファイルが見つかりません。");
  EXPECT_EQ(dialogs.messages[0].caption, u"Orvaneファイル転送");
  EXPECT_EQ(dialogs.messages[0].icon(), static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(dialogs.messages[0].buttons(), static_cast<UINT>(MB_OK));
}

TEST_F(FileUtils, TheErrorReportIsOwnedByTheActiveForm) {
  HWND form = CreateWindowW(L"STATIC", L"form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                            nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(form, nullptr);
  SetForegroundWindow(form);
  SetActiveWindow(form);
  ASSERT_EQ(GetActiveWindow(), form);
  ShowErrorMessage(u"cmdForward_Click", AppError(53, u"ファイルが見つかりません。"));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].owner, form);
  DestroyWindow(form);
}

}  // namespace
