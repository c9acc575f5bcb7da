// The taskbar button during a forward: the compression's progress, the upload as a run of
// unknown length, red on failure, cleared when the window closes, and a flash when the forward
// ends with the program in the background.
#include "app/testing/recording_taskbar_win.h"
#include "app/upload/upload_window_fixture_win.h"

namespace {

class UploadTaskbar : public UploadWindowTest {
 protected:
  void SetUp() override {
    UploadWindowTest::SetUp();
    AddFile(u"a.wav", "RIFF-one", u"a.tta");
    AddFile(u"memo.txt", "memo");
    AddFile(u"b.wav", "RIFF-two", u"b.tta");
  }

  // Runs the forward to its end; the window's own button is the one shown.
  void RunToEnd() {
    Open();
    button = form.hwnd();
    ASSERT_TRUE(WaitForClose());
  }

  RecordingTaskbar taskbar;
  HWND button = nullptr;
};

TEST_F(UploadTaskbar, CompressionShowsItsShareThenTheUploadRunsAndTheEndClearsTheButton) {
  RunToEnd();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  ASSERT_FALSE(taskbar.calls.empty());
  EXPECT_EQ(taskbar.calls.front(), "normal");
  EXPECT_LT(taskbar.IndexOf("value 0/200"), taskbar.IndexOf("value 100/200"));
  EXPECT_LT(taskbar.IndexOf("value 100/200"), taskbar.IndexOf("value 200/200"));
  EXPECT_LT(taskbar.IndexOf("value 200/200"), taskbar.IndexOf("busy"));
  EXPECT_LT(taskbar.IndexOf("busy"), taskbar.calls.size());
  EXPECT_EQ(taskbar.calls.back(), "none");
  // In front all along: no flash, and nothing red.
  EXPECT_FALSE(taskbar.Made("flash"));
  EXPECT_FALSE(taskbar.Made("error"));
  for (HWND shown : taskbar.buttons) EXPECT_EQ(shown, button);
}

TEST_F(UploadTaskbar, AFailedAnswerInTheBackgroundTurnsRedAndFlashesUntilTheUserComesBack) {
  OtherWindow other;
  Engine().body = "-1";
  Engine().duringRun = [&] { other.TakeForeground(); };
  RunToEnd();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_LT(taskbar.IndexOf("busy"), taskbar.IndexOf("error"));
  EXPECT_LT(taskbar.IndexOf("error"), taskbar.IndexOf("flash"));
  EXPECT_LT(taskbar.IndexOf("flash"), taskbar.calls.size());
  EXPECT_FALSE(taskbar.Made("flash?"));
  EXPECT_EQ(taskbar.calls.back(), "none");
  for (HWND shown : taskbar.buttons) EXPECT_EQ(shown, button);
}

TEST_F(UploadTaskbar, AFailedCompressionTurnsRedWithoutAFlashWhenInFront) {
  failingCall = 2;
  RunToEnd();
  EXPECT_LT(taskbar.IndexOf("value 100/200"), taskbar.IndexOf("error"));
  EXPECT_FALSE(taskbar.Made("busy"));
  EXPECT_FALSE(taskbar.Made("flash"));
  EXPECT_EQ(taskbar.calls.back(), "none");
}

}  // namespace
