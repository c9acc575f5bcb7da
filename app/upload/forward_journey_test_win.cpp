// One forward on the road from the forward window through the upload window to the server's
// answer, with the control's scripted engine in place of the network.
#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/forward/frm_input_address_win.h"
#include "app/forward/window_handover_win.h"
#include "app/testing/forward_window_fixture_win.h"
#include "app/upload/frm_up_load_win.h"
#include "base/ansi.h"
#include "control/object/module_win.h"
#include "control/testing/hosted_control_win.h"

namespace {

using ::zorvel::testing::EngineScript;
using ::zorvel::testing::PumpUntil;

class ForwardJourney : public ForwardWindowTest {
 protected:
  void SetUp() override {
    static const HMODULE resources = LoadLibraryW(L"Zorvel.dll");
    ASSERT_NE(resources, nullptr);
    zorvel::SetModuleInstance(resources);
    classScope = std::make_unique<zorvel::testing::ControlClassScope>();
    ForwardWindowTest::SetUp();
    basMain::strFileTransUrl = u"http://127.0.0.1:9/upload";
    form.openUploadWindow = [this](const UploadHandover& handover) {
      ShowUploadWindow(form.hwnd(), handover);
    };
    ScopedModalHook add([](Form& shown) {
      auto& dialog = dynamic_cast<frmInputAddress&>(shown);
      dialog.SetName(u"鈴木");
      dialog.SetEmail(u"suzuki@example.jp");
      dialog.cmdOK_Click();
    });
    form.cmdAdd_Click();
  }

  void TearDown() override {
    ForwardWindowTest::TearDown();
    classScope.reset();
  }

  // What lies in the temporary directory, by name.
  std::vector<std::u16string> TempEntries() {
    std::vector<std::u16string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(temp.path()))) {
      names.push_back(entry.path().filename().u16string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::unique_ptr<zorvel::testing::ControlClassScope> classScope;
};

TEST_F(ForwardJourney, SourceInTheTemporaryDirectorySurvivesAForwardAndACancelledOne) {
  const std::u16string memo = temp / u"memo.txt";
  WriteBytes(memo, "memo");
  AddFile(memo);
  std::string paraSeen;
  std::string workSeen;
  zorvel::testing::Engine().duringRun = [&] {
    const FileCollection& sent = form.Files();
    const std::u16string& work = sent[0]->NewFilePath;
    workSeen = ReadBytes(work);
    paraSeen = ReadBytes(work.substr(0, work.rfind(u'\\') + 1) + u"OrvaneFileTrans.para");
  };
  form.cmdForward_Click();

  EXPECT_EQ(workSeen, "memo");
  EXPECT_EQ(paraSeen.substr(paraSeen.find('\x1e')),
            "\x1ememo.txt\x1f"
            "4\x1ememo.txt\x1f"
            "4\r\n");
  ASSERT_EQ(TakeMessages(), std::vector<std::u16string>{u"完了しました。"});
  EXPECT_EQ(ReadBytes(memo), "memo");
  EXPECT_EQ(TempEntries(), std::vector<std::u16string>{u"memo.txt"});

  // Cancelled while the control sends.
  zorvel::testing::Engine().end = EngineScript::End::kWaitForCancel;
  zorvel::testing::Engine().duringRun = [] {
    HWND upload = FindWindowW(nullptr, L"Orvaneファイル転送 - ファイル送信");
    PostMessageW(upload, WM_COMMAND, MAKEWPARAM(IDC_CMD_CANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(upload, IDC_CMD_CANCEL)));
  };
  form.cmdForward_Click();
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(zorvel::testing::Engine().calls, 2);
  EXPECT_EQ(ReadBytes(memo), "memo");
  EXPECT_EQ(TempEntries(), std::vector<std::u16string>{u"memo.txt"});
  EXPECT_TRUE(IsWindowEnabled(form.hwnd()));
}

}  // namespace
