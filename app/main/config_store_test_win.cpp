#include "app/main/config_store_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>

#include <cstdio>

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

// A key of the local machine that its user may read but not write, as a standard user meets it.
class ReadOnlyKey {
 public:
  explicit ReadOnlyKey(const char* path) : path_(path) { SetDacl("D:P(A;;KR;;;WD)"); }
  ~ReadOnlyKey() { SetDacl("D:(A;;KA;;;WD)"); }
  // Whether this prefix refuses a write-access open of the key.
  bool Enforced() const {
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path_, 0, KEY_SET_VALUE, &key);
    if (status == ERROR_SUCCESS) RegCloseKey(key);
    return status == ERROR_ACCESS_DENIED;
  }

 private:
  void SetDacl(const char* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path_, 0, WRITE_DAC, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    RegCloseKey(key);
    LocalFree(descriptor);
  }
  const char* path_;
};

TEST_F(ConfigStore, AStandardUserFindsTheProductIdentifier) {
  SetProductId("V01", "read-only");
  ReadOnlyKey readOnly("SOFTWARE\\Halvik\\ORVANE\\V01");
  if (!readOnly.Enforced()) {
    std::printf("note: this Wine prefix grants write access despite the key's permission\n");
  }
  EXPECT_EQ(GetProductID(), u"read-only");
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

// Every account of the PC finds the addresses the setup wrote for the machine; one the user set
// is taken first, address by address, and a user's value too long to read is no value.
TEST_F(ConfigStore, UserAddressesComeFirstAndTheMachinesFillTheRest) {
  SetMachineSetting("FileTransUrl", "http://machine/upload");
  SetMachineSetting("SaveSizeUrl", "http://machine/savesize");
  SetMachineSetting("HistoryUrl", "http://machine/history");
  std::u16string fileTransUrl, saveSizeUrl, historyUrl;
  GetFileTransURL(fileTransUrl, saveSizeUrl, historyUrl);
  EXPECT_EQ(fileTransUrl, u"http://machine/upload");
  EXPECT_EQ(saveSizeUrl, u"http://machine/savesize");
  EXPECT_EQ(historyUrl, u"http://machine/history");

  SetSetting("FileTransUrl", "http://user/upload");
  SetSetting("HistoryUrl", std::string(128, 'h'));
  GetFileTransURL(fileTransUrl, saveSizeUrl, historyUrl);
  EXPECT_EQ(fileTransUrl, u"http://user/upload");
  EXPECT_EQ(saveSizeUrl, u"http://machine/savesize");
  EXPECT_EQ(historyUrl, u"http://machine/history");
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
