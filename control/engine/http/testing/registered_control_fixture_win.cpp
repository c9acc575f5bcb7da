#include "control/engine/http/testing/registered_control_fixture_win.h"

// The common controls need the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cstdlib>

#include "control/hosting/dispatch_call_win.h"
#include "control/object/bstr_text_win.h"
#include "control/object/zorvel_idl_win.h"
#include "control/testing/hosted_control_win.h"
#include "control/testing/zorvel_library_win.h"

namespace zorvel::testing {

std::string ParaLine(const std::string& productId, const std::string& sources,
                     const std::string& works) {
  const std::string US = "\x1f", RS = "\x1e";
  return "sender" + US + productId + US + "name1" + US + "mail1@example.jp" + US + US + US + US +
         US + US + US + US + US + "message" + RS + sources + RS + works + "\r\n";
}

void RegisteredControlTest::SetUp() {
  const char* urlFile = std::getenv("ORVANE_SERVER_URL_FILE");
  const char* data = std::getenv("ORVANE_SERVER_DATA");
  ASSERT_TRUE(urlFile && data) << "run through ctest: the server fixture sets them";
  serverUrl_ = ReadAnsiFile(urlFile);
  data_ = data;
  for (const auto& forward : std::filesystem::directory_iterator(data_ / "files")) {
    earlierForwards_.push_back(forward.path());
  }
  ASSERT_EQ(RunRegsvr32(L""), 0u);
  ASSERT_EQ(OleInitialize(nullptr), S_OK);
  host_ = CreateWindowW(L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 380,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  Host(nullptr);
}

void RegisteredControlTest::Host(IServiceProvider* browser) {
  if (sink_) {
    sink_->Disconnect();
    sink_->Release();
    sink_ = nullptr;
  }
  if (site_) {
    site_->Close();
    site_->Release();
    site_ = nullptr;
  }
  ASSERT_EQ(ActiveXSite::Create(host_, RECT{0, 0, 480, 330}, L"Zorvex.1", browser, nullptr, &site_),
            S_OK);
  control_ = site_->Control();
  sink_ = EventSink::Connect(control_, DIID__IZorvexEvents, [&](DISPID id, DISPPARAMS* params) {
    const bool text = params && params->cArgs == 1 && params->rgvarg[0].vt == VT_BSTR;
    if (id == 1 && text) completed_.push_back(AnsiFromBstr(params->rgvarg[0].bstrVal));
    if (id == 2 && text) logged_.push_back(AnsiFromBstr(params->rgvarg[0].bstrVal));
  });
  ASSERT_NE(sink_, nullptr);
}

void RegisteredControlTest::TearDown() {
  if (sink_) {
    sink_->Disconnect();
    sink_->Release();
  }
  if (site_) {
    site_->Close();
    site_->Release();
  }
  PumpFor(100);
  if (host_) DestroyWindow(host_);
  OleUninitialize();
  EXPECT_EQ(RunRegsvr32(L"/u"), 0u);
}

void RegisteredControlTest::PutText(DISPID id, const std::string& ansi) {
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = BstrFromAnsi(ansi);
  EXPECT_EQ(PutDispatchProperty(control_, id, value), S_OK);
  VariantClear(&value);
}

long RegisteredControlTest::GetNumber(DISPID id) {
  VARIANT value;
  VariantInit(&value);
  EXPECT_EQ(GetDispatchProperty(control_, id, &value), S_OK);
  return value.vt == VT_I4 ? value.lVal : -999;
}

std::string RegisteredControlTest::GetText(DISPID id) {
  VARIANT value;
  VariantInit(&value);
  EXPECT_EQ(GetDispatchProperty(control_, id, &value), S_OK);
  const std::string text = value.vt == VT_BSTR ? AnsiFromBstr(value.bstrVal) : std::string();
  VariantClear(&value);
  return text;
}

void RegisteredControlTest::UploadAndExpectSuccess() {
  ASSERT_EQ(CallDispatchMethod(control_, kStart, nullptr, 0, nullptr), S_OK);
  EXPECT_EQ(GetNumber(kResult), 0);
  VARIANT value;
  VariantInit(&value);
  ASSERT_EQ(GetDispatchProperty(control_, kHtmlResult, &value), S_OK);
  ASSERT_EQ(value.vt, VT_BSTR);
  EXPECT_EQ(AnsiFromBstr(value.bstrVal), "1");
  VariantClear(&value);
  EXPECT_EQ(completed_, std::vector<std::string>{"1"});
  EXPECT_EQ(SendMessageW(GetDlgItem(site_->ControlWindow(), 203), PBM_GETPOS, 0, 0), 62);
}

std::vector<std::string> RegisteredControlTest::StoredFiles() {
  std::vector<std::string> stored;
  for (const auto& forward : std::filesystem::directory_iterator(data_ / "files")) {
    if (std::find(earlierForwards_.begin(), earlierForwards_.end(), forward.path()) !=
        earlierForwards_.end()) {
      continue;
    }
    for (size_t i = 0; std::filesystem::exists(forward.path() / std::to_string(i)); ++i) {
      stored.push_back(ReadAnsiFile((forward.path() / std::to_string(i)).string()));
    }
  }
  return stored;
}

}  // namespace zorvel::testing
