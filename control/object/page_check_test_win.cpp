// A control on a web page: the page address decides whether the user is asked before local
// files leave the machine.
#include <gtest/gtest.h>

#include "control/object/module_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/testing/fake_browser_win.h"
#include "control/testing/fake_document_win.h"
#include "control/testing/hosted_control_win.h"

namespace zorvel::testing {
namespace {

const wchar_t kCaption[] = L"Zorvel ActiiveX Control";

class PageCheckTest : public ::testing::Test {
 protected:
  ControlClassScope scope_;
  TempFiles files_;
};

TEST_F(PageCheckTest, APrivatePageStartsWithoutAQuestion) {
  FakeBrowserHost browser(L"http://192.168.1.10/forms/page.html");
  HostedControl control(&browser);
  EXPECT_EQ(control.Object().PageUrl, "http://192.168.1.10/forms/page.html");
  control.Put(kUrl, "http://192.168.1.10/forms/upload.cgi");
  control.Put(kFilePath, files_.Write("a.wav", 10));
  MessageBoxAnswerer answerer(kCaption, IDNO);
  control.Call(kStart);
  EXPECT_EQ(answerer.Shown(), 0);
  EXPECT_EQ(Engine().calls, 1);
  EXPECT_TRUE(control.Logged("Checking ... reference by foreign host."));
  for (const RecordedEvent& event : control.Events()) {
    EXPECT_EQ(event.text.find("Detect Zorvel"), std::string::npos);
  }
}

TEST_F(PageCheckTest, ARelativeUrlIsResolvedAgainstThePageFolder) {
  FakePropertyBag bag;
  bag.SetText(L"URL", "upload.cgi");
  FakeBrowserHost browser(L"http://192.168.1.10/forms/page.html");
  HostedControl control(&browser, &bag);
  EXPECT_EQ(control.GetText(kUrl), "http://192.168.1.10/forms/upload.cgi");
  EXPECT_EQ(control.Object().TargetText,
            LoadAnsiString(IDS_TARGET) + "http://192.168.1.10/forms/upload.cgi");
}

TEST_F(PageCheckTest, APublicPageAsksAndNoEndsTheRun) {
  FakeBrowserHost browser(L"http://8.8.8.8/page.html");
  HostedControl control(&browser);
  control.Put(kUrl, "http://8.8.8.8/up.cgi");
  const std::string file = files_.Write("a.wav", 10);
  control.Put(kFilePath, file);
  ASSERT_TRUE(control.Object().ResponseBody.Append("earlier"));
  control.ClearEvents();
  {
    MessageBoxAnswerer answerer(kCaption, IDNO);
    control.Call(kStart);
    EXPECT_EQ(answerer.Shown(), 1);
    EXPECT_NE(answerer.Text().find(L"http://8.8.8.8/up.cgi"), std::wstring::npos);
    EXPECT_NE(answerer.Text().find(L"http://8.8.8.8/page.html"), std::wstring::npos);
  }
  EXPECT_EQ(Engine().calls, 0);
  EXPECT_EQ(control.GetNumber(kResult), -2);
  EXPECT_EQ(control.GetText(kHtmlResult), "earlier");
  EXPECT_EQ(control.Object().StatusText, LoadAnsiString(IDS_CANCELLED));
  EXPECT_TRUE(
      control.Logged("Detect Zorvel is referenced by foreign host 1 http://8.8.8.8/page.html."));
  EXPECT_TRUE(control.Logged("End uploading.  " + LoadAnsiString(IDS_CANCELLED)));

  MessageBoxAnswerer yes(kCaption, IDYES);
  control.Call(kStart);
  EXPECT_EQ(yes.Shown(), 1);
  EXPECT_EQ(Engine().calls, 1);
}

// A page padded past what the control keeps of its address, and a browser that gives no
// address at all, are asked about like any foreign page: nothing is looked up, nothing is sent
// before the user agrees.
TEST_F(PageCheckTest, APageWhoseAddressCannotBeKeptOrReadAsks) {
  const std::wstring padded = L"http://192.168.1.10/page.html?q=" + std::wstring(268, L'x');
  ASSERT_EQ(padded.size(), 300u);
  for (const std::wstring& page : {padded, std::wstring()}) {
    FakeBrowserHost browser(page);
    HostedControl control(&browser);
    EXPECT_EQ(control.Object().PageUrl, "");
    control.Put(kUrl, "http://8.8.8.8/up.cgi");
    control.Put(kFilePath, files_.Write("a.wav", 10));
    const int before = Engine().calls;
    MessageBoxAnswerer answerer(kCaption, IDNO);
    control.Call(kStart);
    EXPECT_EQ(answerer.Shown(), 1);
    EXPECT_EQ(Engine().calls, before);
    EXPECT_EQ(control.GetNumber(kResult), -2);
    if (!page.empty()) {
      EXPECT_NE(answerer.Text().find(L"http://192.168.1.10/page.html?q=xxx"), std::wstring::npos);
    }
  }
}

TEST_F(PageCheckTest, ThePageGivesItsWindowColoursAndCookies) {
  HostedControl browserWindow;
  FakeDocument document(L"#ffeedd", L"#010203", L"session=42; lang=ja");
  FakeBrowserHost browser(L"http://192.168.1.10/page.html", browserWindow.Host(), &document);
  FakePropertyBag bag;
  bag.SetNumber(L"TransParent", 1);
  HostedControl control(&browser, &bag);
  Zorvex& object = control.Object();
  EXPECT_EQ(object.BrowserWindow, browserWindow.Host());
  EXPECT_EQ(object.PageBackRgb, 0xDDEEFF);
  EXPECT_EQ(object.PageTextRgb, 0x030201);
  EXPECT_EQ(object.CookieText, "session=42; lang=ja");
  EXPECT_EQ(GetWindowLongW(control.Window(), GWL_STYLE) & 0x80, 0) << "no frame on the page";
}

TEST_F(PageCheckTest, WithoutABrowserThereIsNoCheck) {
  HostedControl control;
  control.Put(kUrl, "http://127.0.0.1/up.cgi");
  control.Put(kFilePath, files_.Write("a.wav", 10));
  control.Call(kStart);
  EXPECT_EQ(Engine().calls, 1);
  EXPECT_FALSE(control.Logged("Checking ... reference by foreign host."));
  EXPECT_EQ(control.Object().PageUrl, "");
  EXPECT_EQ(control.Object().PageBackRgb, -1);
}

}  // namespace
}  // namespace zorvel::testing
