// The control created as "Zorvex.1" and hosted in a window, driven by dispatch identifier as
// the upload window drives it.
#include <gtest/gtest.h>

// The common controls need the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "control/object/module_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/testing/fake_browser_win.h"
#include "control/testing/hosted_control_win.h"
#include "control/testing/test_texts_win.h"

namespace zorvel::testing {
namespace {

class ZorvexTest : public ::testing::Test {
 protected:
  ControlClassScope scope_;
  TempFiles files_;
};

TEST_F(ZorvexTest, TextPropertiesKeepTheirLimits) {
  HostedControl control;
  const struct {
    DISPID id;
    size_t limit;
  } texts[] = {{kUrl, 255},  {kPara1, 255},     {kPara2, 255},  {kPara3, 255},    {kProxy, 127},
               {kAuth, 127}, {kProxyAuth, 127}, {kAscExt, 127}, {kProxyFtp, 127}, {kCharset, 31}};
  for (const auto& text : texts) {
    const std::string longest(text.limit, 'a');
    control.Put(text.id, longest);
    EXPECT_EQ(control.GetText(text.id), longest) << "DISPID " << text.id;
    control.Put(text.id, std::string(text.limit + 1, 'b'));
    EXPECT_EQ(control.GetText(text.id), longest)
        << "one byte too long is ignored, DISPID " << text.id;
  }
  // Limits count ANSI bytes: 128 full-width characters are 256 bytes.
  std::string japanese;
  for (int i = 0; i < 128; ++i) japanese += "\x82\xA0";
  control.Put(kPara1, japanese);
  EXPECT_EQ(control.GetText(kPara1), std::string(255, 'a'));

  control.Put(kUrl, "http://127.0.0.1/up.cgi");
  EXPECT_EQ(control.Object().TargetText, LoadAnsiString(IDS_TARGET) + "http://127.0.0.1/up.cgi");
}

TEST_F(ZorvexTest, NumbersColoursAndCharsets) {
  HostedControl control;
  control.Put(kMaxSize, 100L);
  EXPECT_EQ(control.GetNumber(kMaxSize), 102400);
  for (DISPID id : {kPassive, kAutoStart}) {
    control.Put(id, 0L);
    EXPECT_EQ(control.GetNumber(id), 0);
  }
  control.Put(kPassive, 7L);
  EXPECT_EQ(control.GetNumber(kPassive), 7);
  EXPECT_EQ(control.GetNumber(kCount), 0);
  EXPECT_EQ(control.GetNumber(kSize), 0);
  EXPECT_EQ(control.GetNumber(kResult), 0);
  EXPECT_EQ(control.GetText(kHtmlResult), "");
  EXPECT_GT(control.GetNumber(kBarHeight), 0) << "the bar's size once the window exists";
  EXPECT_GT(control.GetNumber(kBarWidth), 0);

  EXPECT_EQ(control.GetText(kBackColor), "#c0c0c0");
  control.Put(kBackColor, "#102030");
  EXPECT_EQ(control.Object().BackRgb, Rgb{0x302010});
  control.Put(kBackColor, "");
  EXPECT_EQ(control.GetText(kBackColor), "#c0c0c0");
  control.Put(kTextColor, "#ff0000");
  EXPECT_EQ(control.GetText(kTextColor), "#ff0000");
  EXPECT_EQ(control.Object().TextRgb, Rgb{0x0000FF});
  control.Put(kBarColor, "#00FF00");
  EXPECT_EQ(control.Object().BarRgb, 0x00FF00);

  control.Put(kCharset, "UTF8");
  EXPECT_EQ(control.Object().CharsetCode, 5);
  EXPECT_EQ(control.GetText(kCharset), "UTF8");
  control.Put(kCharset, "Euc");
  EXPECT_EQ(control.Object().CharsetCode, 2);
  control.Put(kCharset, "latin1");
  EXPECT_EQ(control.Object().CharsetCode, 0);
}

TEST_F(ZorvexTest, LockAndHideActOnTheWindowAtOnce) {
  HostedControl control;
  control.Put(kFilePath, files_.Write("a.wav", 10));
  ASSERT_EQ(control.GetNumber(kCount), 1);
  control.Put(kLock, 7L);
  EXPECT_FALSE(IsWindowEnabled(control.Item(IDC_START)));
  EXPECT_FALSE(IsWindowEnabled(control.Item(IDC_SECOND)));
  EXPECT_FALSE(IsWindowEnabled(control.Item(IDC_FILELIST)));
  control.Put(kLock, 0L);
  EXPECT_TRUE(IsWindowEnabled(control.Item(IDC_START)));
  EXPECT_TRUE(IsWindowEnabled(control.Item(IDC_FILELIST)));

  RECT before;
  GetWindowRect(control.Item(IDC_PROGRESS), &before);
  control.Put(kHide, 4L);
  EXPECT_FALSE(IsWindowVisible(control.Item(IDC_FILELIST)));
  RECT moved;
  GetWindowRect(control.Item(IDC_PROGRESS), &moved);
  MapWindowPoints(nullptr, control.Window(), reinterpret_cast<POINT*>(&moved), 2);
  EXPECT_EQ(moved.left, 0);
  EXPECT_EQ(moved.top, 0);
  EXPECT_EQ(moved.right - moved.left, before.right - before.left);
  control.Put(kHide, 1L | 2L | 8L);
  EXPECT_FALSE(IsWindowVisible(control.Item(IDC_START)));
  EXPECT_FALSE(IsWindowVisible(control.Item(IDC_SECOND)));
  EXPECT_FALSE(IsWindowVisible(control.Item(IDC_PROGRESS)));
  EXPECT_TRUE(IsWindowVisible(control.Item(IDC_FILELIST)));
  EXPECT_EQ(control.GetNumber(kHide), 11);

  control.Put(kBarWidth, 100L);
  control.Put(kBarHeight, 9L);
  RECT bar;
  GetWindowRect(control.Item(IDC_PROGRESS), &bar);
  EXPECT_EQ(bar.right - bar.left, 100);
  EXPECT_EQ(bar.bottom - bar.top, 9);
}

TEST_F(ZorvexTest, PropertyBagIsReadInOrderWithItsDifferences) {
  FakePropertyBag bag;
  const std::string file = files_.Write("from_page.wav", 30);
  bag.SetText(L"FilePath", file);
  bag.SetText(L"URL", std::string(300, 'u'));
  bag.SetText(L"Charset", "JIS");
  bag.SetText(L"Para1", "p1");
  bag.SetText(L"BackColor", "");
  bag.SetText(L"TextColor", "#0000ff");
  bag.SetText(L"MaxSize", "5");  // a page's PARAM arrives as text
  bag.SetNumber(L"Hide", 2);
  bag.SetText(L"Lock", "not a number");
  HostedControl control(nullptr, &bag);

  const std::vector<std::wstring> expected = {
      L"FilePath",    L"URL",       L"Charset",  L"Para1",     L"Para2",     L"Para3",
      L"Proxy",       L"ProxyFtp",  L"AscExt",   L"TextColor", L"BackColor", L"BarColor",
      L"ProxyAuth",   L"Auth",      L"MaxSize",  L"Lock",      L"Hide",      L"Passive",
      L"TransParent", L"BarHeight", L"BarWidth", L"AutoStart"};
  EXPECT_EQ(bag.Asked(), expected);
  EXPECT_EQ(control.ListEntries(), std::vector<std::string>{file}) << "added when the window came";
  EXPECT_EQ(control.GetText(kUrl), "");
  EXPECT_EQ(control.Object().CharsetCode, 3);
  EXPECT_EQ(control.GetText(kPara1), "p1");
  EXPECT_EQ(control.GetText(kBackColor), "") << "no #c0c0c0 default from a bag";
  EXPECT_EQ(control.Object().TextRgb, Rgb{0xFF0000});
  EXPECT_EQ(control.GetNumber(kMaxSize), 5120);
  EXPECT_EQ(control.GetNumber(kLock), 0);
  EXPECT_FALSE(IsWindowVisible(control.Item(IDC_SECOND))) << "Hide applied at creation";

  // Saving keeps only the extent.
  IPersistPropertyBag* persist = nullptr;
  ASSERT_EQ(control.Dispatch()->QueryInterface(IID_IPersistPropertyBag,
                                               reinterpret_cast<void**>(&persist)),
            S_OK);
  FakePropertyBag saved;
  EXPECT_EQ(persist->Save(&saved, TRUE, TRUE), S_OK);
  persist->Release();
  VARIANT width;
  VariantInit(&width);
  EXPECT_EQ(saved.Read(L"_cx", &width, nullptr), S_OK);
  EXPECT_EQ(width.vt, VT_UI4);
  EXPECT_GT(width.ulVal, 0u);
  EXPECT_EQ(saved.Read(L"URL", &width, nullptr), E_INVALIDARG);
}

TEST_F(ZorvexTest, ASuccessfulRunRaisesItsEventsInOrder) {
  HostedControl control;
  control.Put(kUrl, "http://127.0.0.1/up.cgi");
  control.Put(kFilePath, files_.Write("a.wav", 100));
  control.ClearEvents();
  Engine().duringRun = [&] {
    EXPECT_EQ(control.Object().ButtonMode, ButtonMode::kCancel);
    char caption[64] = "";
    GetWindowTextA(control.Item(IDC_SECOND), caption, sizeof caption);
    EXPECT_EQ(std::string(caption), LoadAnsiString(IDS_CANCEL));
    EXPECT_FALSE(IsWindowEnabled(control.Item(IDC_FILELIST)));
    HDC dc = GetDC(control.Window());
    SendMessageW(control.Window(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(control.Window(), dc);
    EXPECT_FALSE(IsWindowEnabled(control.Item(IDC_START))) << "not even after a repaint";
    // A second start, a Clear and a double-click during the run are all refused.
    EXPECT_EQ(control.Call(kStart), 0);
    EXPECT_EQ(control.Call(kClear), 0);
    SendMessageW(control.Item(IDC_FILELIST), LB_SETCURSEL, 0, 0);
    SendMessageW(control.Window(), WM_COMMAND, MAKEWPARAM(IDC_FILELIST, LBN_DBLCLK), 0);
  };
  EXPECT_EQ(control.Call(kStart), 0);

  EXPECT_EQ(Engine().calls, 1);
  const std::vector<RecordedEvent>& events = control.Events();
  std::vector<DISPID> order;
  for (const RecordedEvent& event : events) order.push_back(event.id);
  const std::vector<DISPID> expected = {kOnStart,    kOnLog, kOnLog,      kOnProgress,
                                        kOnProgress, kOnLog, kOnComplete, kOnLog};
  ASSERT_EQ(order, expected);
  EXPECT_TRUE(control.Logged("Start uploading. Zorvel ActiveX Contorol Version 1,0,802,29"));
  EXPECT_EQ(events[3].text, "1KB\tleft");
  EXPECT_EQ(events[6].text, "1");
  EXPECT_EQ(LogBody(events[7].text), "End uploading.  done 2KB");
  // The stamp: "%d/%02d/%02d %02d:%02d:%02d  ".
  const std::string& stamp = events[1].text;
  EXPECT_EQ(stamp[4], '/');
  EXPECT_EQ(stamp[7], '/');
  EXPECT_EQ(stamp[13], ':');
  EXPECT_EQ(stamp.substr(19, 2), "  ");

  EXPECT_EQ(control.GetNumber(kCount), 1) << "Clear and delete were refused during the run";
  EXPECT_FALSE(control.Object().Busy);
  EXPECT_EQ(control.Object().ButtonMode, ButtonMode::kClear);
  char caption[64] = "";
  GetWindowTextA(control.Item(IDC_SECOND), caption, sizeof caption);
  EXPECT_EQ(std::string(caption), LoadAnsiString(IDS_CLEAR));
  EXPECT_TRUE(IsWindowEnabled(control.Item(IDC_START)));
  EXPECT_TRUE(IsWindowEnabled(control.Item(IDC_FILELIST)));
}

TEST_F(ZorvexTest, IdleCallsThatDoNothing) {
  HostedControl control;
  EXPECT_EQ(control.Call(kStart), 0);
  EXPECT_EQ(control.Call(kCancel), 0);
  EXPECT_TRUE(control.Events().empty()) << "Start with an empty list and Cancel while idle";
  EXPECT_EQ(Engine().calls, 0);
  EXPECT_EQ(control.GetNumber(kResult), 0);
}

TEST_F(ZorvexTest, CancelDuringARunAndClearAfterIt) {
  HostedControl control;
  control.Put(kUrl, "http://127.0.0.1/up.cgi");
  control.Put(kFilePath, files_.Write("a.wav", 10));
  control.Put(kLock, 2L);
  control.ClearEvents();
  Engine().end = EngineScript::End::kWaitForCancel;
  Engine().duringRun = [&] { control.Call(kCancel); };
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), -2);
  EXPECT_TRUE(control.Logged("Cancel accepted."));
  bool cancelled = false;
  for (const RecordedEvent& event : control.Events()) cancelled |= event.id == kOnCancel;
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(control.Object().StatusText, LoadAnsiString(IDS_CANCELLED));
  EXPECT_FALSE(IsWindowEnabled(control.Item(IDC_SECOND))) << "Lock bit 2 keeps it disabled";

  control.Put(kLock, 0L);
  control.ClearEvents();
  EXPECT_EQ(control.Call(kClear), 0);
  ASSERT_EQ(control.Events().size(), 1u);
  EXPECT_EQ(control.Events()[0].id, kOnClear);
  EXPECT_EQ(control.GetNumber(kCount), 0);
  EXPECT_EQ(control.GetNumber(kSize), 0);
  EXPECT_TRUE(control.ListEntries().empty());
  EXPECT_FALSE(IsWindowEnabled(control.Item(IDC_START)));
}

TEST_F(ZorvexTest, AFailedRunRaisesNoCompletion) {
  HostedControl control;
  control.Put(kUrl, "http://127.0.0.1/up.cgi");
  control.Put(kFilePath, files_.Write("a.wav", 10));
  control.ClearEvents();
  Engine().end = EngineScript::End::kConnectFailure;
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), -3);
  for (const RecordedEvent& event : control.Events()) EXPECT_NE(event.id, kOnComplete);
}

TEST_F(ZorvexTest, AutomaticStartFiresOnceAndOnlyWithFiles) {
  HostedControl control;
  control.Put(kUrl, "http://127.0.0.1/up.cgi");
  control.Put(kAutoStart, 1L);
  EXPECT_EQ(control.GetNumber(kAutoStart), 1);
  EXPECT_TRUE(PumpUntil([&] { return control.Object().AutoStart == 0; }, 3000));
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(Engine().calls, 0) << "an empty list leaves Start disabled";

  control.Put(kFilePath, files_.Write("a.wav", 10));
  control.Put(kAutoStart, 1L);
  EXPECT_TRUE(PumpUntil([] { return Engine().calls == 1; }, 3000));
  EXPECT_EQ(control.GetNumber(kAutoStart), 0);
}

TEST_F(ZorvexTest, EverySinkHearsEachEventInTheOrderOfConnection) {
  HostedControl control;
  std::vector<char> heard;
  EventSink* first = EventSink::Connect(control.Dispatch(), DIID__IZorvexEvents,
                                        [&](DISPID, DISPPARAMS*) { heard.push_back('A'); });
  EventSink* second = EventSink::Connect(control.Dispatch(), DIID__IZorvexEvents,
                                         [&](DISPID, DISPPARAMS*) { heard.push_back('B'); });
  ASSERT_TRUE(first && second);
  control.Call(kClear);
  EXPECT_EQ(heard, (std::vector<char>{'A', 'B'}));
  first->Disconnect();
  first->Release();
  control.Call(kClear);
  EXPECT_EQ(heard, (std::vector<char>{'A', 'B', 'B'}));
  second->Disconnect();
  second->Release();
  EXPECT_EQ(control.Events().size(), 2u) << "the host's own sink heard both";
}

TEST_F(ZorvexTest, FtpNoticesBecomeEventsAndProgress) {
  HostedControl control;
  control.Put(kFilePath, files_.Write("a.wav", 6200));
  control.ClearEvents();
  const char notice[] = "  2026/01/02 03:04:05  220 ready\r\n";
  SendMessageW(control.Window(), WM_UPLOAD_LOG, reinterpret_cast<WPARAM>(notice), 0);
  ASSERT_EQ(control.Events().size(), 1u);
  EXPECT_EQ(control.Events()[0].text, "2026/01/02 03:04:05  220 ready") << "no second stamp";

  HWND bar = control.Item(IDC_PROGRESS);
  SendMessageW(bar, PBM_SETRANGE32, 0, 62);
  SendMessageW(bar, PBM_SETSTEP, 1, 0);
  control.Object().Window().ResetFtpProgress();
  control.Object().Window().NoteUploadProgress(3100, false);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 30) << "one step per 100 bytes, 100 kept back";
  ASSERT_EQ(control.Events().size(), 2u);
  EXPECT_EQ(control.Events()[1].id, kOnProgress);
  EXPECT_EQ(control.Events()[1].text.substr(0, 10), "3KB  50%  ");
  EXPECT_NE(control.Events()[1].text.find('\t'), std::string::npos);
}

TEST_F(ZorvexTest, ABurstOfFtpNoticesKeepsEveryEventAndEndsOnTheLastFigures) {
  HostedControl control;
  const long total = 8760 * 3000;
  control.Put(kFilePath, files_.Write("big.wav", total));
  HWND bar = control.Item(IDC_PROGRESS);
  SendMessageW(bar, PBM_SETRANGE32, 0, 62);
  SendMessageW(bar, PBM_SETSTEP, 1, 0);
  control.Object().Window().ResetFtpProgress();
  control.ClearEvents();
  // A message posted before the burst is let through during it, as a click would be.
  PostMessageW(control.Window(), WM_NULL, 0, 0);
  const DWORD start = GetTickCount();
  for (long sent = 8760; sent <= total; sent += 8760) {
    control.Object().Window().NoteUploadProgress(sent, false);
  }
  EXPECT_LT(GetTickCount() - start, 10000u);
  ASSERT_EQ(control.Events().size(), 3000u) << "one OnProgress per notice";
  EXPECT_EQ(control.Events().back().text.substr(0, 15), "25664KB  100%  ");
  EXPECT_EQ(control.Object().ProgressText.substr(0, 13), "25664KB  100%");
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 62);
  MSG left;
  EXPECT_FALSE(PeekMessageW(&left, control.Window(), WM_NULL, WM_NULL, PM_NOREMOVE))
      << "the posted message was dispatched";
}

TEST_F(ZorvexTest, StreamsKeepOnlyTheExtent) {
  HostedControl control;
  IOleObject* object = nullptr;
  ASSERT_EQ(control.Dispatch()->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)),
            S_OK);
  SIZEL initial{};
  EXPECT_EQ(object->GetExtent(DVASPECT_CONTENT, &initial), S_OK);
  // The layout is 270 x 175 dialog units, and the two dialog units are about equally long in
  // any font: the extent is wider than high, and more than half as high as wide.
  EXPECT_GT(initial.cx, initial.cy);
  EXPECT_GT(initial.cy, initial.cx / 2);
  DWORD status = 0;
  EXPECT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
  EXPECT_EQ(status, 131473u);

  IPersistStreamInit* persist = nullptr;
  ASSERT_EQ(object->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)),
            S_OK);
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  SIZEL changed{5000, 3000};
  object->SetExtent(DVASPECT_CONTENT, &changed);
  control.Put(kUrl, "http://127.0.0.1/not-saved");
  EXPECT_EQ(persist->Save(stream, TRUE), S_OK);
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  EXPECT_EQ(stat.cbSize.QuadPart, 8u) << "two 32-bit numbers and nothing else";
  object->SetExtent(DVASPECT_CONTENT, &initial);
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(persist->Load(stream), S_OK);
  SIZEL loaded{};
  object->GetExtent(DVASPECT_CONTENT, &loaded);
  EXPECT_EQ(loaded.cx, 5000);
  EXPECT_EQ(loaded.cy, 3000);
  stream->Release();
  persist->Release();
  object->Release();
}

TEST_F(ZorvexTest, TheRightButtonShowsTheAboutBox) {
  HostedControl control;
  MessageBoxAnswerer answerer(L"Zorvel ActiveX Contorol", IDOK);
  SendMessageW(control.Window(), WM_RBUTTONUP, 0, MAKELPARAM(400, 300));
  EXPECT_EQ(answerer.Shown(), 1);
  EXPECT_EQ(answerer.Text(), L"Zorvel ActiveX Contorol\r\nVersion 1,0,802,29");
}

TEST_F(ZorvexTest, TransParentRemovesAndRestoresTheFrame) {
  HostedControl control;
  HWND window = control.Window();
  EXPECT_NE(GetWindowLongW(window, GWL_STYLE) & 0x80, 0);
  control.Put(kTransParent, 1L);
  EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & 0x80, 0);
  EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & 0x101, 0);
  control.Put(kTransParent, 2L);
  EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & 0x80, 0) << "still on: nothing toggles";
  control.Put(kTransParent, 0L);
  EXPECT_NE(GetWindowLongW(window, GWL_STYLE) & 0x80, 0);
  EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & 0x101, 0x101);
  control.Put(kTransParent, 1L);
  control.Put(kBackColor, "#123456");
  EXPECT_EQ(control.GetNumber(kTransParent), 0) << "BackColor ends the page colours";
}

}  // namespace
}  // namespace zorvel::testing
