#include <gtest/gtest.h>

#include "app/forms/background_wait_win.h"
#include "app/forms/form_win.h"
#include "app/resources/form_ids.h"
#include "base/app_error.h"

namespace {

// The sender dialog's template stands in for any form.
class ProbeForm : public Form {
 public:
  ProbeForm() : Form(IDD_SEND_USER) {}
  int loads = 0;
  int unloads = 0;
  int closeBoxes = 0;
  int ticks = 0;
  bool hideOnTick = false;

 protected:
  void Form_Load() override { ++loads; }
  void Form_Unload() override { ++unloads; }
  void CloseBox() override {
    ++closeBoxes;
    Hide();
  }
  void Timer(UINT_PTR) override {
    ++ticks;
    if (hideOnTick) Hide();
  }
};

// Pumps messages until `done` holds or the deadline passes.
template <typename Condition>
bool PumpUntil(Condition done, DWORD milliseconds = 5000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > milliseconds) return false;
    DoEvents();
    Sleep(10);
  }
  return true;
}

TEST(Form, LoadAndUnloadRunTheirEventsOnceAndReadTheTemplate) {
  ProbeForm form;
  form.Load();
  form.Load();
  ASSERT_TRUE(form.IsLoaded());
  EXPECT_EQ(form.loads, 1);
  EXPECT_FALSE(form.IsVisible());
  EXPECT_EQ(form.Caption(), u"Orvaneファイル転送 - 送信者設定");
  form.SetControlText(IDC_TXT_NAME, u"山田 太郎");
  EXPECT_EQ(form.ControlText(IDC_TXT_NAME), u"山田 太郎");
  form.Unload();
  form.Unload();
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_EQ(form.unloads, 1);
}

TEST(Form, ModalShowReturnsWhenTheFormHidesAndKeepsItsFields) {
  ProbeForm form;
  form.Load();
  form.SetControlText(IDC_TXT_NAME, u"kept");
  form.hideOnTick = true;
  form.StartTimer(1, 50);
  form.ShowModal(nullptr);
  EXPECT_GE(form.ticks, 1);
  EXPECT_TRUE(form.IsLoaded());
  EXPECT_FALSE(form.IsVisible());
  EXPECT_EQ(form.ControlText(IDC_TXT_NAME), u"kept");
}

TEST(Form, CloseBoxEndsTheModalShowThroughTheFormsOwnHandler) {
  ProbeForm form;
  form.Load();
  PostMessageW(form.hwnd(), WM_CLOSE, 0, 0);
  form.ShowModal(nullptr);
  EXPECT_EQ(form.closeBoxes, 1);
  EXPECT_TRUE(form.IsLoaded());
}

TEST(Form, ModalHookOperatesTheLoadedFormInsteadOfTheLoop) {
  ProbeForm form;
  Form* seen = nullptr;
  {
    ScopedModalHook hook([&](Form& shown) {
      seen = &shown;
      EXPECT_TRUE(shown.IsLoaded());
      shown.SetControlText(IDC_TXT_NAME, u"typed");
    });
    form.ShowModal(nullptr);
  }
  EXPECT_EQ(seen, &form);
  EXPECT_EQ(form.loads, 1);
  EXPECT_EQ(form.ControlText(IDC_TXT_NAME), u"typed");
}

TEST(Form, TimersTickUntilStopped) {
  ProbeForm form;
  form.Load();
  form.StartTimer(7, 20);
  ASSERT_TRUE(PumpUntil([&] { return form.ticks >= 3; }));
  form.StopTimer(7);
  const int ticks = form.ticks;
  Sleep(100);
  DoEvents();
  EXPECT_EQ(form.ticks, ticks);
}

// A wait for work that blocks its thread: the form ticks on, takes no input, and is given back
// afterwards, also when the work fails or outlasts its bound.
TEST(Form, BackgroundWaitKeepsTheThreadAliveWithTheFormDisabled) {
  ProbeForm form;
  form.Load();
  form.Show();
  form.StartTimer(3, 20);
  bool enabledDuringWait = true;
  EXPECT_TRUE(WaitWithFormDisabled(
      form.hwnd(),
      [&] {
        Sleep(400);
        enabledDuringWait = IsWindowEnabled(form.hwnd());
      },
      5000));
  EXPECT_GE(form.ticks, 5) << "the form's timer ran during the wait";
  EXPECT_FALSE(enabledDuringWait);
  EXPECT_TRUE(IsWindowEnabled(form.hwnd()));

  try {
    WaitWithFormDisabled(
        form.hwnd(), [] { throw AppError(12029, u"refused"); }, 5000);
    ADD_FAILURE() << "the work's failure is raised to the waiting thread";
  } catch (const AppError& error) {
    EXPECT_EQ(error.number, 12029);
  }
  EXPECT_TRUE(IsWindowEnabled(form.hwnd()));

  const DWORD start = GetTickCount();
  EXPECT_FALSE(WaitWithFormDisabled(
      form.hwnd(), [] { Sleep(3000); }, 300));
  EXPECT_LT(GetTickCount() - start, 1500u) << "the bound ends the wait";
  EXPECT_TRUE(IsWindowEnabled(form.hwnd()));
  form.StopTimer(3);
  form.Unload();
}

}  // namespace
