// OrvaneFts.exe, started from the folder of the test program as a user would start it, and
// worked from outside through its windows. The process is ended with the object if it still runs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class RunningProgram {
 public:
  // Starts the program with `arguments` (a failure to start is a test failure).
  explicit RunningProgram(const std::wstring& arguments = L"");
  // Starts the copy of the program at `program` (an installed one, say) with `arguments`.
  RunningProgram(const std::wstring& program, const std::wstring& arguments);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  bool Started() const { return process_.hProcess != nullptr; }
  DWORD Id() const { return process_.dwProcessId; }

  // The visible top-level window of this caption, waited for up to 30 s; null (and a test
  // failure) when none appeared.
  HWND Window(const wchar_t* caption);
  // As Window, looked for every 5 ms for up to `milliseconds`: for timing when it appears.
  HWND WindowWithin(const wchar_t* caption, DWORD milliseconds);
  // The first visible dialog box (a message box, say), waited for up to 30 s.
  HWND Dialog();

  // Presses the button `id` of `window`.
  static void Click(HWND window, int id);
  // Waits up to 10 s for `window` to be hidden and expects it so.
  static void WaitHidden(HWND window);
  // Presses the button `id` of `window` and waits for the window to be hidden.
  static void Dismiss(HWND window, int id);

  // Lets the program finish its work and paint before a window is captured.
  void Settle();
  // Whether the process ends within 20 s.
  bool Ends();

 private:
  HWND WaitForWindow(const std::function<bool(HWND)>& matches, DWORD milliseconds = 30000,
                     DWORD pause = 100);

  PROCESS_INFORMATION process_ = {};
};

// The text of a window of another process (an edit box's own text too), and typing into one.
std::wstring TextOf(HWND window);
void Type(HWND edit, const wchar_t* text);
// The text of a message box or dialog: its longest static text.
std::wstring MessageText(HWND box);
