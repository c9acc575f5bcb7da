#include <windows.h>

#include <string_view>

#include "app/download/download_window_win.h"
#include "app/forward/forward_window_win.h"
#include "app/main/command_line.h"
#include "app/main/main_win.h"
#include "app/main/message_loop_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The runtime's own argument text drops blanks it should keep; take the raw command line.
  const std::u16string_view commandLine(reinterpret_cast<const char16_t*>(GetCommandLineW()));
  Main(ArgumentText(commandLine), StartupWindows{ShowDownloadWindow, ShowForwardWindow});
  return RunMessageLoop();
}
