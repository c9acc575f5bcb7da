// The forward bench's driver: one forward through OrvaneFts.exe worked as a user works it (the
// files picked in the file dialog one after the other, one recipient typed in), timed from the
// press of "転送開始" to the "完了しました。" box. The moment the upload window shows its sending
// frame, just before it starts the control, divides the compression from the upload.
// scripts/bench.d/forward runs it beside ffmpeg and curl, against a server and a registered
// control that the script has set up in the Wine prefix.
//   orvane_forward_bench FILE...
// Prints one line: "compress SECONDS upload SECONDS total SECONDS peak_ws BYTES", the peak
// working set being the program's own counter read just before the box is dismissed.
// psapi.h needs the types of windows.h first.
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/resources/form_ids.h"
#include "app/testing/forward_driver_win.h"
#include "app/testing/running_program_win.h"
#include "base/testing/bench_clock_win.h"

namespace {

using forward_driver::kForwardCaption;
using forward_driver::kMessageCaption;
using forward_driver::kUploadCaption;

// Ten minutes bounds each phase: on a loaded machine the compression of 500 MB takes a minute.
constexpr DWORD kPhaseLimitMs = 600000;

int Fail(const char* what) {
  std::fprintf(stderr, "forward bench: %s\n", what);
  return 1;
}

SIZE_T PeakWorkingSet(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (process == nullptr) return 0;
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  const BOOL read = GetProcessMemoryInfo(process, &memory, sizeof memory);
  CloseHandle(process);
  return read ? memory.PeakWorkingSetSize : 0;
}

int Run(const std::vector<std::wstring>& files) {
  RunningProgram program;
  HWND forward = program.Window(kForwardCaption);
  if (forward == nullptr) return Fail("the forward window did not appear");
  // The sender's name, which a forward needs; a first user sets it once.
  RunningProgram::Click(forward, IDC_CMD_SETTING);
  HWND sender = program.Window(L"Orvaneファイル転送 - 送信者設定");
  if (sender == nullptr) return Fail("the sender settings did not appear");
  Type(GetDlgItem(sender, IDC_TXT_NAME), L"山田 太郎");
  RunningProgram::Dismiss(sender, IDOK);
  for (const std::wstring& file : files) {
    if (!forward_driver::AddFile(program, forward, file)) return Fail("a file was not taken");
  }
  if (!forward_driver::AddRecipient(program, forward, L"鈴木 一郎", L"suzuki@example.jp")) {
    return Fail("the recipient was not taken");
  }
  program.Settle();

  const double pressed = bench_clock::WallSeconds();
  RunningProgram::Click(forward, IDC_CMD_FORWARD);
  HWND upload = program.WindowWithin(kUploadCaption, kPhaseLimitMs);
  if (upload == nullptr) return Fail("the upload window did not appear");
  HWND sendFrame = GetDlgItem(upload, IDC_FRA_SEND);
  const double deadline = pressed + kPhaseLimitMs / 1000.0;
  while (!IsWindowVisible(sendFrame) && bench_clock::WallSeconds() < deadline) Sleep(5);
  if (!IsWindowVisible(sendFrame)) return Fail("the compression did not end");
  const double sending = bench_clock::WallSeconds();
  HWND box = program.WindowWithin(kMessageCaption, kPhaseLimitMs);
  if (box == nullptr) return Fail("no message came");
  const double answered = bench_clock::WallSeconds();
  const SIZE_T peak = PeakWorkingSet(program.Id());
  const std::wstring text = MessageText(box);
  if (text != L"完了しました。") {
    std::fwprintf(stderr, L"forward bench: the program said %ls\n", text.c_str());
    return 1;
  }
  RunningProgram::Dismiss(box, IDOK);
  RunningProgram::WaitHidden(upload);
  RunningProgram::Click(forward, IDC_CMD_END);
  if (!program.Ends()) return Fail("the program did not end");
  std::printf("compress %.3f upload %.3f total %.3f peak_ws %llu\n", sending - pressed,
              answered - sending, answered - pressed, static_cast<unsigned long long>(peak));
  return 0;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count < 2) return Fail("usage: orvane_forward_bench FILE...");
  const std::vector<std::wstring> files(arguments + 1, arguments + count);
  LocalFree(arguments);
  return Run(files);
}
