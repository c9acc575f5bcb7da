#include "app/main/main_win.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/main/bas_main.h"
#include "app/testing/registry_fixture_win.h"
#include "app/testing/scripted_dialogs_win.h"
#include "app/testing/temp_folder_win.h"

namespace {

using namespace testing_registry;

constexpr char16_t kNoDescriptor[] = u"oftsファイルが見つかりません。";
constexpr char16_t kNotInstalled[] =
    u"Orvane、またはOrvanePlusがインストールされていないため起動出来ません。";

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearConfiguration();
    basMain::blnLog = true;
    basMain::strProductID = basMain::strSendName = basMain::strTempDir = u"";
    basMain::strFileTransUrl = basMain::strSaveSizeUrl = basMain::strHistoryUrl = u"";
  }
  void TearDown() override { ClearConfiguration(); }

  void Run(std::u16string_view arguments) {
    Main(arguments, StartupWindows{[this](const std::u16string& path) { downloads.push_back(path); },
                                   [this] { ++forwards; }});
  }

  void ExpectOnlyMessage(std::u16string_view text) {
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, text);
    EXPECT_EQ(dialogs.messages[0].caption, u"Orvaneファイル転送");
    EXPECT_EQ(dialogs.messages[0].icon(), static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(dialogs.messages[0].buttons(), static_cast<UINT>(MB_OK));
    EXPECT_TRUE(downloads.empty());
    EXPECT_EQ(forwards, 0);
  }

  ScriptedDialogs dialogs;
  TempFolder folder;
  std::vector<std::u16string> downloads;
  int forwards = 0;
};

TEST_F(Startup, ForwardModeReadsAllConfigurationThenOpensTheForwardWindow) {
  SetProductId("V03", "PID-3");
  SetSetting("SendName", "\x8E\x52\x93\x63");
  SetSetting("FileTransUrl", "http://127.0.0.1/upload");
  SetSetting("SaveSizeUrl", "http://127.0.0.1/savesize");
  SetSetting("HistoryUrl", "http://127.0.0.1/history");
  Run(u"");
  EXPECT_EQ(forwards, 1);
  EXPECT_FALSE(basMain::blnLog);
  EXPECT_EQ(basMain::strProductID, u"PID-3");
  EXPECT_EQ(basMain::strSendName, u"山田");
  EXPECT_EQ(basMain::strFileTransUrl, u"http://127.0.0.1/upload");
  EXPECT_EQ(basMain::strSaveSizeUrl, u"http://127.0.0.1/savesize");
  EXPECT_EQ(basMain::strHistoryUrl, u"http://127.0.0.1/history");
  EXPECT_EQ(basMain::strTempDir.back(), u'\\');
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Startup, LogSwitchAloneIsForwardModeWithLogging) {
  SetProductId("V01", "PID");
  Run(u"-log");
  EXPECT_EQ(forwards, 1);
  EXPECT_TRUE(basMain::blnLog);
}

TEST_F(Startup, WithoutProductTheConfigurationIsStillReadAndStartIsRefused) {
  SetSetting("SendName", "sender");
  Run(u"");
  ExpectOnlyMessage(kNotInstalled);
  EXPECT_EQ(basMain::strSendName, u"sender");
  EXPECT_FALSE(basMain::strTempDir.empty());
}

TEST_F(Startup, ExistingDescriptorOpensTheDownloadWindowWithoutConfiguration) {
  SetProductId("V01", "PID");
  SetSetting("SendName", "sender");
  const std::u16string descriptor = folder / u"受信 1.ofts";
  WriteBytes(descriptor, "http://127.0.0.1/a.wav\r\n");
  Run(descriptor);
  ASSERT_EQ(downloads, std::vector<std::u16string>{descriptor});
  EXPECT_EQ(forwards, 0);
  EXPECT_FALSE(basMain::blnLog);
  EXPECT_EQ(basMain::strProductID, u"");
  EXPECT_EQ(basMain::strSendName, u"");
  EXPECT_EQ(basMain::strTempDir, u"");
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Startup, AnythingButAnExistingFileIsRefusedAsMissingDescriptor) {
  SetProductId("V01", "PID");
  const std::u16string descriptor = folder / u"x.ofts";
  WriteBytes(descriptor, "");
  for (const std::u16string& arguments :
       {folder / u"missing.ofts", folder.path(), std::u16string(u"-log x"),
        std::u16string(u"-LOG"), u"\"" + descriptor + u"\""}) {
    dialogs.messages.clear();
    Run(arguments);
    ExpectOnlyMessage(kNoDescriptor);
  }
}

}  // namespace
