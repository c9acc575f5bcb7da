// One FTP upload through the shipped Zorvel.dll, registered by regsvr32 and driven by dispatch
// identifier as the transfer application drives it: the time of Start and what the host saw of
// it. scripts/bench.d/ftp runs it beside curl.
//   zorvel_ftp_bench URL PATH
// Prints one line: "seconds SECONDS cpu SECONDS result RESULT progress EVENTS logs EVENTS complete
// TEXT", then the log's rate line, then every log line after the seconds since Start was called.
// The common controls need the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdio>
#include <string>

#include "base/testing/bench_clock_win.h"
#include "control/hosting/activex_site_win.h"
#include "control/hosting/dispatch_call_win.h"
#include "control/hosting/event_sink_win.h"
#include "control/object/bstr_text_win.h"
#include "control/object/zorvel_idl_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/testing/zorvel_library_win.h"

namespace {

using enum zorvel::Dispid;
using enum zorvel::EventId;

// Lets the windows paint, as the application's upload window has before it starts the control:
// the first text drawn in a process loads its fonts, which is no part of an upload.
void Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(5);
  }
}

HRESULT PutText(IDispatch* control, DISPID id, const std::string& ansi) {
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = zorvel::BstrFromAnsi(ansi);
  const HRESULT put = PutDispatchProperty(control, id, value);
  VariantClear(&value);
  return put;
}

int Upload(const std::string& url, const std::string& path) {
  HWND host = CreateWindowW(L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 380,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ActiveXSite* site = nullptr;
  if (ActiveXSite::Create(host, RECT{0, 0, 480, 330}, L"Zorvex.1", nullptr, nullptr, &site) !=
      S_OK) {
    std::printf("the control could not be created\n");
    return 1;
  }
  IDispatch* control = site->Control();
  long progress = 0, logs = 0;
  std::string completed, rateLine, timedLog;
  double start = bench_clock::WallSeconds();
  EventSink* sink =
      EventSink::Connect(control, DIID__IZorvexEvents, [&](DISPID id, DISPPARAMS* params) {
        const bool text = params && params->cArgs == 1 && params->rgvarg[0].vt == VT_BSTR;
        if (id == kOnProgress) ++progress;
        if (id == kOnLog) ++logs;
        if (!text) return;
        const std::string line = zorvel::AnsiFromBstr(params->rgvarg[0].bstrVal);
        if (id == kOnComplete) completed = line;
        if (id == kOnLog && line.find(" bytes sent in ") != std::string::npos) rateLine = line;
        if (id == kOnLog) {
          char at[32];
          std::snprintf(at, sizeof at, "  %7.3f  ", bench_clock::WallSeconds() - start);
          timedLog += at + line + "\n";
        }
      });
  int status = 1;
  if (sink != nullptr && PutText(control, kUrl, url) == S_OK &&
      PutText(control, kFilePath, path) == S_OK &&
      PutDispatchProperty(control, kPassive, 1L) == S_OK) {
    Pump(500);
    const double cpuStart = bench_clock::ProcessorSeconds();
    start = bench_clock::WallSeconds();
    const HRESULT started = CallDispatchMethod(control, kStart, nullptr, 0, nullptr);
    const double seconds = bench_clock::WallSeconds() - start;
    const double cpu = bench_clock::ProcessorSeconds() - cpuStart;
    VARIANT result;
    VariantInit(&result);
    GetDispatchProperty(control, kResult, &result);
    std::printf("seconds %.3f cpu %.3f result %ld progress %ld logs %ld complete %s\n%s\n%s",
                seconds, cpu, result.lVal, progress, logs, completed.c_str(), rateLine.c_str(),
                timedLog.c_str());
    status = started == S_OK && result.lVal == 0 && !completed.empty() ? 0 : 1;
  }
  if (sink != nullptr) {
    sink->Disconnect();
    sink->Release();
  }
  site->Close();
  site->Release();
  DestroyWindow(host);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::printf("usage: zorvel_ftp_bench URL PATH\n");
    return 2;
  }
  if (RunRegsvr32(L"") != 0) {
    std::printf("regsvr32 Zorvel.dll failed\n");
    return 1;
  }
  OleInitialize(nullptr);
  const int status = Upload(argv[1], argv[2]);
  OleUninitialize();
  RunRegsvr32(L"/u");
  return status;
}
