// Times one conversion through TTA_VB.dll the way the application makes it: the library bound
// by name, a progress callback that processes the window's messages and counts progress steps
// as the application's does, and a cancel flag. Prints the milliseconds the call took (the
// library's loading not included, as the application has it loaded already), the processor
// time it used on all threads in milliseconds, and the number of callbacks; the exit code is
// the call's result.
//
//   tta_dll_bench.exe encode|decode SOURCE OUTPUT
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/testing/bench_clock_win.h"

namespace {

using TtaProgressProc = LONG(__stdcall*)(LONG position, SHORT* cancel);
using ConvertProc = LONG(__stdcall*)(LPCSTR source, LPCSTR output, TtaProgressProc progress,
                                     SHORT* cancel);

LONG ttaUnit = 1;
LONG ttaStep = 1;
long callbacks = 0;

LONG __stdcall ProgressProc(LONG position, SHORT* cancel) {
  ++callbacks;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (position > ttaStep * ttaUnit) ++ttaStep;
  return *cancel != 0 ? 0 : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[1], "encode") != 0 && std::strcmp(argv[1], "decode") != 0)) {
    std::fprintf(stderr, "usage: tta_dll_bench encode|decode SOURCE OUTPUT\n");
    return 2;
  }
  const bool encode = std::strcmp(argv[1], "encode") == 0;
  const HMODULE library = LoadLibraryA("TTA_VB.dll");
  if (library == nullptr) {
    std::fprintf(stderr, "TTA_VB.dll not found\n");
    return 2;
  }
  const auto convert = reinterpret_cast<ConvertProc>(
      reinterpret_cast<void*>(GetProcAddress(library, encode ? "Enc_WavToTTA" : "Dec_TTAToWav")));
  if (convert == nullptr) return 2;

  // A window, as the application has one on the calling thread while it converts.
  const HWND window = CreateWindowExW(0, L"STATIC", L"tta_dll_bench", WS_OVERLAPPED, 0, 0, 200, 100,
                                      nullptr, nullptr, nullptr, nullptr);
  WIN32_FILE_ATTRIBUTE_DATA source;
  if (!GetFileAttributesExA(argv[2], GetFileExInfoStandard, &source)) return 2;
  ttaUnit = static_cast<LONG>(source.nFileSizeLow / 100 + 1);
  SHORT cancel = 0;

  const double startCpu = bench_clock::ProcessorSeconds();
  const double start = bench_clock::WallSeconds();
  const LONG result = convert(argv[2], argv[3], ProgressProc, &cancel);
  const double elapsed = bench_clock::WallSeconds() - start;
  const double cpu = bench_clock::ProcessorSeconds() - startCpu;
  std::printf("%.1f %.1f %ld\n", elapsed * 1000, cpu * 1000, callbacks);
  DestroyWindow(window);
  FreeLibrary(library);
  return static_cast<int>(result);
}
