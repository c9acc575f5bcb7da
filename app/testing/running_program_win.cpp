#include "app/testing/running_program_win.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/main/file_utils_win.h"

namespace {

struct Search {
  DWORD processId;
  const std::function<bool(HWND)>* matches;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window) && (*search->matches)(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

RunningProgram::RunningProgram(const std::wstring& arguments)
    : RunningProgram((std::filesystem::path(ProgramFolder()) / L"OrvaneFts.exe").wstring(),
                     arguments) {}

RunningProgram::RunningProgram(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process_)) {
    process_ = {};
    ADD_FAILURE() << "cannot start OrvaneFts.exe";
  }
}

RunningProgram::~RunningProgram() {
  if (!Started()) return;
  if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
    TerminateProcess(process_.hProcess, 1);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

HWND RunningProgram::WaitForWindow(const std::function<bool(HWND)>& matches, DWORD milliseconds,
                                   DWORD pause) {
  if (!Started()) return nullptr;
  Search search{process_.dwProcessId, &matches, nullptr};
  const DWORD start = GetTickCount();
  for (;;) {
    EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr || GetTickCount() - start >= milliseconds) break;
    Sleep(pause);
  }
  if (search.found == nullptr) ADD_FAILURE() << "no window appeared";
  return search.found;
}

namespace {

std::function<bool(HWND)> HasCaption(const wchar_t* caption) {
  return [caption](HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return std::wstring(text) == caption;
  };
}

}  // namespace

HWND RunningProgram::Window(const wchar_t* caption) { return WaitForWindow(HasCaption(caption)); }

HWND RunningProgram::WindowWithin(const wchar_t* caption, DWORD milliseconds) {
  return WaitForWindow(HasCaption(caption), milliseconds, 5);
}

HWND RunningProgram::Dialog() {
  return WaitForWindow([](HWND window) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return std::wstring(className) == L"#32770";
  });
}

void RunningProgram::Click(HWND window, int id) {
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

void RunningProgram::WaitHidden(HWND window) {
  for (int tries = 0; tries < 100 && IsWindowVisible(window); ++tries) Sleep(100);
  EXPECT_FALSE(IsWindowVisible(window));
}

void RunningProgram::Dismiss(HWND window, int id) {
  Click(window, id);
  WaitHidden(window);
}

void RunningProgram::Settle() {
  WaitForInputIdle(process_.hProcess, 5000);
  Sleep(500);
}

bool RunningProgram::Ends() {
  return Started() && WaitForSingleObject(process_.hProcess, 20000) == WAIT_OBJECT_0;
}

// WM_GETTEXT and WM_SETTEXT rather than GetWindowText: across processes only the messages reach
// an edit box's own text.
std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return text;
}

namespace {

BOOL CALLBACK LongestStatic(HWND child, LPARAM data) {
  wchar_t className[16] = {};
  GetClassNameW(child, className, 16);
  wchar_t text[512] = {};
  GetWindowTextW(child, text, 512);
  auto* longest = reinterpret_cast<std::wstring*>(data);
  if (_wcsicmp(className, L"Static") == 0 && wcslen(text) > longest->size()) *longest = text;
  return TRUE;
}

}  // namespace

std::wstring MessageText(HWND box) {
  std::wstring text;
  EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(&text));
  return text;
}

void Type(HWND edit, const wchar_t* text) {
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
