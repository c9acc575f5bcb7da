#include "app/main/address_book_file_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/main/bas_main.h"
#include "app/main/file_utils_win.h"
#include "app/testing/scripted_dialogs_win.h"
#include "app/testing/temp_folder_win.h"

namespace {

// The book lives beside the program, here the test program.
class AddressBookFile : public ::testing::Test {
 protected:
  void SetUp() override { Remove(); }
  void TearDown() override { Remove(); }

  static std::u16string BookPath() { return ProgramFolder() + u"\\address.dat"; }
  static std::filesystem::path Staging() { return std::filesystem::path(BookPath() + u".new"); }
  static void Remove() {
    SetFileAttributesW(std::filesystem::path(BookPath()).c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove(std::filesystem::path(BookPath()));
    std::filesystem::remove_all(Staging());
  }

  ScriptedDialogs dialogs;
};

TEST_F(AddressBookFile, MissingFileGivesEmptyBookSilently) {
  basMain::colAddressBook.push_back(std::make_shared<clsAddress>());
  EXPECT_TRUE(ReadAddressBookFile());
  EXPECT_TRUE(basMain::colAddressBook.empty());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AddressBookFile, ReadAndWriteBackIsByteIdentical) {
  const std::string file = "\x8E\x52\x93\x63,yamada@example.jp\r\nBob,bob@x.org\r\n";
  WriteBytes(BookPath(), file);
  EXPECT_TRUE(ReadAddressBookFile());
  ASSERT_EQ(basMain::colAddressBook.size(), 2u);
  EXPECT_EQ(basMain::colAddressBook[0]->SendName, u"山田");
  std::filesystem::remove(std::filesystem::path(BookPath()));
  EXPECT_TRUE(WriteAddressBookFile());
  EXPECT_EQ(ReadBytes(BookPath()), file);
  EXPECT_FALSE(std::filesystem::exists(Staging()));
}

TEST_F(AddressBookFile, EmptyLineStopsWithTheErrorReportAndKeepsEarlierEntries) {
  WriteBytes(BookPath(), "a,a@x\r\nb,b@x\r\n\r\nc,c@x\r\n");
  EXPECT_FALSE(ReadAddressBookFile());
  ASSERT_EQ(basMain::colAddressBook.size(), 2u);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text.rfind(u"ReadAddressBookFile\r\n9\r\n", 0), 0u);
  EXPECT_EQ(dialogs.messages[0].caption, u"Orvaneファイル転送");
  EXPECT_EQ(dialogs.messages[0].icon(), static_cast<UINT>(MB_ICONERROR));
}

TEST_F(AddressBookFile, LastLineWithoutLineEndCounts) {
  WriteBytes(BookPath(), "a,a@x\r\nb,b@x");
  EXPECT_TRUE(ReadAddressBookFile());
  EXPECT_EQ(basMain::colAddressBook.size(), 2u);
}

TEST_F(AddressBookFile, EmptyBookIsWrittenAsEmptyFileOverAReadOnlyOne) {
  WriteBytes(BookPath(), "old,old@x\r\n");
  SetFileAttributesW(std::filesystem::path(BookPath()).c_str(), FILE_ATTRIBUTE_READONLY);
  basMain::colAddressBook.clear();
  EXPECT_TRUE(WriteAddressBookFile());
  EXPECT_EQ(ReadBytes(BookPath()), "");
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AddressBookFile, FailedWriteLeavesTheOldBookIntact) {
  WriteBytes(BookPath(), "keep,keep@x\r\n");
  // A folder where the new book would be written makes the write fail before any replacement.
  std::filesystem::create_directory(Staging());
  auto entry = std::make_shared<clsAddress>();
  entry->SendName = u"new";
  entry->Email = u"new@x";
  basMain::colAddressBook = {entry};
  EXPECT_FALSE(WriteAddressBookFile());
  EXPECT_EQ(ReadBytes(BookPath()), "keep,keep@x\r\n");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text.rfind(u"WriteAddressBookFile\r\n", 0), 0u);
  EXPECT_EQ(basMain::colAddressBook.size(), 1u);
}

}  // namespace
