// One timed upload to a loopback sink, for scripts/bench.d/upload, which alternates the senders
// and compares them with curl -F:
//   zorvel_upload_bench control URL FILE...      the registered Zorvel.dll, created by its ProgID
//                                                and driven by dispatch identifier as the
//                                                application drives it
//   zorvel_upload_bench plain URL CHUNK FILE...  the same request bytes from plain blocking
//                                                sockets, the file data sent CHUNK bytes at a time
// Prints one line: seconds=S bytes=N result=R base_mb=B peak_mb=P (the process's working set
// before the upload and its peak during it). With ORVANE_BENCH_TRUST naming a PEM authority, it
// is trusted in the prefix's store while the program runs (an https:// sink under a test
// authority).
#include <windows.h>
#include <winsock2.h>
// The memory counters need the types of windows.h first.
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/testing/bench_clock_win.h"
#include "base/testing/trusted_authority_win.h"
#include "control/engine/http/upload_address.h"
#include "control/engine/http/upload_request.h"
#include "control/hosting/activex_site_win.h"
#include "control/hosting/dispatch_call_win.h"
#include "control/object/bstr_text_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/testing/zorvel_library_win.h"

namespace {

using enum zorvel::Dispid;

double PeakWorkingSetMb(bool peak) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize) /
         (1024.0 * 1024.0);
}

long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return static_cast<long>(data.nFileSizeLow);
}

long long TotalSize(const std::vector<std::string>& paths) {
  long long total = 0;
  for (const std::string& path : paths) total += FileSize(path);
  return total;
}

void Report(double seconds, long long bytes, long result, double baseMb) {
  std::printf("seconds=%.3f bytes=%lld result=%ld base_mb=%.1f peak_mb=%.1f\n", seconds, bytes,
              result, baseMb, PeakWorkingSetMb(true));
}

int UploadThroughControl(const std::string& url, const std::vector<std::string>& paths) {
  if (RunRegsvr32(L"") != 0) {
    std::printf("regsvr32 failed\n");
    return 1;
  }
  OleInitialize(nullptr);
  HWND host = CreateWindowW(L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 380,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ActiveXSite* site = nullptr;
  int exitCode = 1;
  if (ActiveXSite::Create(host, RECT{0, 0, 480, 330}, L"Zorvex.1", nullptr, nullptr, &site) ==
      S_OK) {
    IDispatch* control = site->Control();
    std::string list;
    for (const std::string& path : paths) list += (list.empty() ? "" : ";") + path;
    for (const auto& [id, text] : {std::pair{kUrl, url}, std::pair{kFilePath, list}}) {
      VARIANT value;
      value.vt = VT_BSTR;
      value.bstrVal = zorvel::BstrFromAnsi(text);
      PutDispatchProperty(control, id, value);
      VariantClear(&value);
    }
    const double baseMb = PeakWorkingSetMb(false);
    const double start = bench_clock::WallSeconds();
    CallDispatchMethod(control, kStart, nullptr, 0, nullptr);
    const double seconds = bench_clock::WallSeconds() - start;
    VARIANT result;
    VariantInit(&result);
    GetDispatchProperty(control, kResult, &result);
    Report(seconds, TotalSize(paths), result.lVal, baseMb);
    exitCode = result.lVal == 0 ? 0 : 1;
    site->Close();
    site->Release();
  }
  DestroyWindow(host);
  OleUninitialize();
  RunRegsvr32(L"/u");
  return exitCode;
}

bool SendBytes(SOCKET socket, const char* data, int length) {
  for (int sent = 0; sent < length;) {
    const int taken = send(socket, data + sent, length - sent, 0);
    if (taken <= 0) return false;
    sent += taken;
  }
  return true;
}

bool SendText(SOCKET socket, std::string_view text) {
  return SendBytes(socket, text.data(), static_cast<int>(text.size()));
}

// The request the control would send for these files, as it builds it.
int UploadPlain(const std::string& url, int chunk, const std::vector<std::string>& paths) {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  const zorvel::UploadAddress address = zorvel::ResolveUploadAddress(url, "", 30);
  zorvel::ItemTable table;
  for (const std::string& path : paths) table.Add(zorvel::MakeUploadItem(path, FileSize(path)));
  const std::string magic = zorvel::MakeMagicBlock(table, 0);
  const std::string header =
      zorvel::MakeHeaderBlock({address.requestLine, "", "", "", "", address.hostLine},
                              zorvel::ContentLength(static_cast<long>(magic.size()), 0, table));
  std::vector<char> buffer(static_cast<size_t>(chunk));
  const double baseMb = PeakWorkingSetMb(false);

  const double start = bench_clock::WallSeconds();
  const SOCKET plain = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(static_cast<u_short>(address.port));
  peer.sin_addr.s_addr = inet_addr(address.host.c_str());
  bool ok = connect(plain, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0 &&
            SendText(plain, header) && SendText(plain, magic);
  for (size_t i = 0; ok && i < table.items.size(); ++i) {
    ok = SendText(plain, zorvel::MakeFilePartHead(static_cast<int>(i + 1), table.items[i]));
    HANDLE file = CreateFileA(table.items[i].path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    for (DWORD got = 0; ok &&
                        ReadFile(file, buffer.data(), static_cast<DWORD>(chunk), &got, nullptr) &&
                        got > 0;) {
      ok = SendBytes(plain, buffer.data(), static_cast<int>(got));
    }
    CloseHandle(file);
  }
  ok = ok && SendText(plain, zorvel::kClosingDelimiter);
  std::string answer;
  for (int n; ok && (n = recv(plain, buffer.data(), chunk, 0)) > 0;) {
    answer.append(buffer.data(), static_cast<size_t>(n));
  }
  closesocket(plain);
  const double seconds = bench_clock::WallSeconds() - start;
  const bool answered = answer.rfind("HTTP/1.0 200", 0) == 0;
  Report(seconds, TotalSize(paths), ok && answered ? 0 : -4, baseMb);
  WSACleanup();
  return ok && answered ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<base::testing::TrustedAuthority> trust;
  if (const char* authority = std::getenv("ORVANE_BENCH_TRUST")) {
    std::ifstream in(authority, std::ios::binary);
    std::ostringstream pem;
    pem << in.rdbuf();
    trust = std::make_unique<base::testing::TrustedAuthority>(pem.str());
    if (!trust->Trusted()) {
      std::fprintf(stderr, "cannot trust %s\n", authority);
      return 2;
    }
  }
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode == "control" && argc > 3) {
    return UploadThroughControl(argv[2], std::vector<std::string>(argv + 3, argv + argc));
  }
  if (mode == "plain" && argc > 4 && std::atoi(argv[3]) > 0) {
    return UploadPlain(argv[2], std::atoi(argv[3]),
                       std::vector<std::string>(argv + 4, argv + argc));
  }
  std::fprintf(stderr,
               "usage: zorvel_upload_bench control URL FILE... | plain URL CHUNK FILE...\n");
  return 2;
}
