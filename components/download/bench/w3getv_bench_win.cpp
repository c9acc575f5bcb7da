// One download through Parvek.dll, bound by name as the application binds it, with a callback
// that keeps the counts the application's DownLoadProc keeps and lets the thread's messages
// through, and a 500 ms timer as the download window's progress view has.
// scripts/bench.d/download runs it beside curl.
//   parvek_bench FOLDER NAME URL
// Prints one line: "seconds S cpu S result R callbacks N bytes N ticks N peak_ws BYTES".
// psapi.h needs the types of windows.h first.
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

#include <cstdio>
#include <string>

#include "base/testing/bench_clock_win.h"

namespace {

using W3getvEntry = LONG(__stdcall*)(LPSTR commandText, INT_PTR* callbackAddress);

long callbacks = 0;
long fileBytes = 0;
long timerTicks = 0;

void DispatchPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LONG __stdcall DownLoadProc(LONG bytes, LPCSTR) {
  ++callbacks;
  if (callbacks > 1) fileBytes = bytes;
  DispatchPending();
  return 0;
}

void CALLBACK ViewTick(HWND, UINT, UINT_PTR, DWORD) { ++timerTicks; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::printf("usage: parvek_bench FOLDER NAME URL\n");
    return 2;
  }
  HMODULE library = LoadLibraryW(L"Parvek.dll");
  auto* entry = library == nullptr ? nullptr
                                   : reinterpret_cast<W3getvEntry>(reinterpret_cast<void*>(
                                         GetProcAddress(library, "W3getv")));
  if (entry == nullptr) {
    std::printf("Parvek.dll or its W3getv could not be bound\n");
    return 1;
  }
  std::string text = std::string("-d ") + argv[1] + " -o " + argv[2] + " -t 6000 " + argv[3];
  INT_PTR callback = reinterpret_cast<INT_PTR>(&DownLoadProc);
  const UINT_PTR timer = SetTimer(nullptr, 0, 500, ViewTick);
  const double cpuStart = bench_clock::ProcessorSeconds();
  const double start = bench_clock::WallSeconds();
  const LONG result = entry(text.data(), &callback);
  const double seconds = bench_clock::WallSeconds() - start;
  const double cpu = bench_clock::ProcessorSeconds() - cpuStart;
  KillTimer(nullptr, timer);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::printf("seconds %.3f cpu %.3f result %ld callbacks %ld bytes %ld ticks %ld peak_ws %llu\n",
              seconds, cpu, static_cast<long>(result), callbacks, fileBytes, timerTicks,
              static_cast<unsigned long long>(memory.PeakWorkingSetSize));
  FreeLibrary(library);
  return result >= 1 ? 0 : 1;
}
