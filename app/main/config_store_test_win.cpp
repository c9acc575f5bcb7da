#include "app/main/config_store_win.h"

#include <gtest/gtest.h>

#include "app/main/bas_main.h"
#include "app/testing/registry_fixture_win.h"
#include "app/testing/scripted_dialogs_win.h"

namespace {

using namespace testing_registry;

class ConfigStore : public ::testing::Test {
 protected:
  void SetUp() override { ClearConfiguration(); }
  void TearDown() override {
    ClearConfiguration();
    EXPECT_TRUE(dialogs.messages.empty());
  }
  ScriptedDialogs dialogs;
};

TEST_F(ConfigStore, HighestProductKeyWins) {
  SetProductId("V02", "second");
  SetProductId("V07", "seventh");
  EXPECT_EQ(GetProductID(), u"seventh");
}

TEST_F(ConfigStore, TenthKeyIsSearchedButNotItsNeighbours) {
  EXPECT_EQ(GetProductID(), u"");
  SetProductId("V1", "one-digit");
  SetProductId("V11", "eleven");
  SetProductId("V00", "zero");
  EXPECT_EQ(GetProductID(), u"");
  SetProductId("V10", "tenth");
  EXPECT_EQ(GetProductID(), u"tenth");
}

TEST_F(ConfigStore, ValuesOfMoreThan127BytesAreAbsent) {
  const std::string upload(127, 'u');
  const std::string saveSize(128, 's');
  SetSetting("FileTransUrl", upload);
  SetSetting("SaveSizeUrl", saveSize);
  SetSetting("HistoryUrl", "http://h/");
  std::u16string fileTransUrl = u"kept";
  std::u16string saveSizeUrl = u"kept";
  std::u16string historyUrl;
  GetFileTransURL(fileTransUrl, saveSizeUrl, historyUrl);
  EXPECT_EQ(fileTransUrl, std::u16string(127, u'u'));
  EXPECT_EQ(saveSizeUrl, u"kept");
  EXPECT_EQ(historyUrl, u"http://h/");
}

TEST_F(ConfigStore, LongerSaveSizeUrlIsStillReadWhole) {
  SetSetting("FileTransUrl", "http://a/");
  SetSetting("SaveSizeUrl", std::string(120, 's'));
  std::u16string fileTransUrl, saveSizeUrl, historyUrl;
  GetFileTransURL(fileTransUrl, saveSizeUrl, historyUrl);
  EXPECT_EQ(saveSizeUrl.size(), 120u);
  EXPECT_EQ(historyUrl, u"");
}

TEST_F(ConfigStore, SenderNameIsStoredAsShiftJisWithItsTerminator) {
  std::u16string name;
  for (int i = 0; i < 30; ++i) name += u"録";
  basMain::strSendName = name;
  EXPECT_TRUE(SaveSendUserName());
  const std::string stored = ReadSettingBytes("SendName");
  ASSERT_EQ(stored.size(), 61u);
  EXPECT_EQ(stored.substr(0, 2), "\x98\x5E");
  EXPECT_EQ(stored.back(), '\0');
  EXPECT_EQ(GetSendUserName(), name);
}

TEST_F(ConfigStore, EmptySenderNameIsStoredAsEmptyString) {
  basMain::strSendName.clear();
  EXPECT_TRUE(SaveSendUserName());
  bool found = false;
  EXPECT_EQ(ReadSettingBytes("SendName", &found), std::string(1, '\0'));
  EXPECT_TRUE(found);
  EXPECT_EQ(GetSendUserName(), u"");
}

}  // namespace
