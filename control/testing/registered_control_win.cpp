#include "control/testing/registered_control_win.h"

#include "control/hosting/dispatch_call_win.h"
#include "control/object/bstr_text_win.h"
#include "control/object/zorvel_idl_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/testing/hosted_control_win.h"
#include "control/testing/zorvel_library_win.h"

namespace zorvel::testing {
namespace {

// The control a timer cancels, and when it did.
IDispatch* g_cancelled = nullptr;
DWORD g_cancelledAt = 0;

void CALLBACK CancelOnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_cancelledAt = GetTickCount();
  CallDispatchMethod(g_cancelled, Dispid::kCancel, nullptr, 0, nullptr);
}

}  // namespace

void RegisteredControlTest::StartAndCancelAfter(UINT ms) {
  g_cancelled = control_;
  g_cancelledAt = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, ms, CancelOnTimer);
  ASSERT_EQ(CallDispatchMethod(control_, Dispid::kStart, nullptr, 0, nullptr), S_OK);
  const DWORD ended = GetTickCount();
  KillTimer(nullptr, timer);
  ASSERT_NE(g_cancelledAt, 0u) << "the run ended before the cancel";
  EXPECT_LT(ended - g_cancelledAt, 1000u);
}

void RegisteredControlTest::SetUp() {
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
    if (id == kOnComplete && text) completed_.push_back(AnsiFromBstr(params->rgvarg[0].bstrVal));
    if (id == kOnLog && text) logged_.push_back(AnsiFromBstr(params->rgvarg[0].bstrVal));
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

void RegisteredControlTest::PutNumber(DISPID id, long number) {
  VARIANT value;
  value.vt = VT_I4;
  value.lVal = number;
  EXPECT_EQ(PutDispatchProperty(control_, id, value), S_OK);
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

}  // namespace zorvel::testing
