// The run sequence behind Start, Cancel and Clear, the automatic start and the log lines.
// The common controls need the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cstdio>

#include "control/engine/socket/socket_connection_win.h"
#include "control/engine/socket/socket_layer_win.h"
#include "control/object/module_win.h"
#include "control/object/upload_entry_win.h"
#include "control/object/zorvex_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/window/file_entry_text.h"

namespace zorvel {
namespace {

constexpr char kBannerLine[] = "Start uploading. Zorvel ActiveX Contorol Version 1,0,802,29";
constexpr char kConfirmationCaption[] = "Zorvel ActiiveX Control";

}  // namespace

void Zorvex::LogLine(std::string_view text) { FireLogLine(events_, text); }

void Zorvex::ScheduleAutoStart() {
  // A negative delay means none; a very long one is kept within what a timer can wait.
  if (AutoStart > 0 && window_.Exists()) {
    const long seconds = std::min<long>(AutoStart, USER_TIMER_MAXIMUM / 1000);
    SetTimer(window_.Handle(), kAutoStartTimer, static_cast<UINT>(seconds) * 1000, nullptr);
  }
}

void Zorvex::CancelAutoStart() {
  AutoStart = 0;
  if (window_.Exists()) KillTimer(window_.Handle(), kAutoStartTimer);
}

// The page check: a page from outside the user's own network may only send local files after
// the user agreed. Returns false when the user declined or the run was cancelled meanwhile.
bool Zorvex::ConfirmForeignPage() {
  LogLine("Checking ... reference by foreign host.");
  if (CancelRequested) return false;
  // A page whose address could not be kept is asked about without a lookup.
  int answer = kHostForeign;
  if (!PageUnknown) {
    // A Cancel during the lookup ends the lookup at once.
    SocketConnection checker;
    SocketConnection* const run = ActiveConnection;
    ActiveConnection = &checker;
    answer = checker.IsPublicHost(PageUrl);
    ActiveConnection = CancelRequested ? nullptr : run;
  }
  if (CancelRequested) return false;
  if (answer == kHostOwnNetwork) return true;
  const std::string& page = PageUnknown ? PageShown : PageUrl;
  char notice[512];
  std::snprintf(notice, sizeof notice, "Detect Zorvel is referenced by foreign host %d %s.", answer,
                page.c_str());
  LogLine(notice);
  if (CancelRequested) return false;
  const std::vector<std::string> entries = window_.ReadEntries();
  const std::string firstEntry = entries.empty() ? std::string() : entries.front();
  const std::string format = LoadAnsiString(IDS_SECURITY);
  std::vector<char> text(format.size() + URL.size() + page.size() + firstEntry.size() + 1);
  std::snprintf(text.data(), text.size(), format.c_str(), URL.c_str(), page.c_str(),
                firstEntry.c_str());
  const int choice = MessageBoxA(window_.Handle(), text.data(), kConfirmationCaption,
                                 MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
  // A Cancel while the box was up outweighs a Yes.
  return choice == IDYES && !CancelRequested;
}

void Zorvex::EndAsCancelled() {
  StatusText = LoadAnsiString(IDS_CANCELLED);
  window_.DrawLabel(TextArea::kStatus, StatusText);
  ProgressText.clear();
  Result = kCancelled;
}

void Zorvex::CancelOnQuit(void* context) {
  auto* control = static_cast<Zorvex*>(context);
  if (control->ButtonMode == ButtonMode::kCancel && !control->CancelRequested) {
    control->CancelRun();
  }
}

void Zorvex::Run() {
  if (Busy) return;
  // Events may release the container's last reference while the run goes on.
  AddRef();
  // The run is under way from here: a Start from the OnStart handler is refused, a Clear finds
  // the second button in its Cancel mode, and a Cancel is kept until the engine would start.
  Busy = true;
  CancelRequested = false;
  ButtonMode = ButtonMode::kCancel;
  const QuitObserverEntry previousObserver = SetQuitObserver({&Zorvex::CancelOnQuit, this});
  CancelAutoStart();
  events_.Fire(kOnStart);
  SetWindowTextA(window_.SecondButton(), LoadAnsiString(IDS_CANCEL).c_str());
  if (window_.Exists()) {
    EnableWindow(window_.StartButton(), FALSE);
    EnableWindow(window_.List(), FALSE);
    SendMessageW(window_.ProgressBar(), PBM_SETRANGE32, 0, 0);
  }
  LogLine(kBannerLine);
  {
    SocketConnection connection;
    ActiveConnection = &connection;
    const bool checked = (PageUrl.empty() && !PageUnknown) || ConfirmForeignPage();
    if (checked && !CancelRequested) {
      UploadRun run{*this, *this, window_, events_};
      StartUpload(engines_, run, connection);
    } else {
      EndAsCancelled();
    }
    ActiveConnection = nullptr;
  }
  LogLine("End uploading.  " + StatusText + " " + ProgressText);
  SetQuitObserver(previousObserver);
  Busy = false;
  if (window_.Exists()) {
    window_.EnableItem(window_.List(), kListBit, true);
    SetWindowTextA(window_.SecondButton(), LoadAnsiString(IDS_CLEAR).c_str());
  }
  ButtonMode = ButtonMode::kClear;
  window_.DrawLabel(TextArea::kRemain, ProgressText);
  if (window_.Exists()) {
    window_.EnableItem(window_.StartButton(), kStartBit, true);
    window_.EnableItem(window_.SecondButton(), kSecondBit, true);
  }
  Release();
}

void Zorvex::CancelRun() {
  // OnCancel's handler may release the container's last reference.
  AddRef();
  CancelAutoStart();
  Result = kCancelled;
  CancelRequested = true;
  if (ActiveConnection) {
    ActiveConnection->Abort();
    ActiveConnection = nullptr;
  }
  events_.Fire(kOnCancel);
  StatusText = LoadAnsiString(IDS_CANCEL_ACCEPTED);
  window_.DrawLabel(TextArea::kStatus, StatusText);
  if (window_.Exists()) EnableWindow(window_.SecondButton(), FALSE);
  LogLine("Cancel accepted.");
  Release();
}

void Zorvex::ClearList() {
  // OnClear's handler may release the container's last reference.
  AddRef();
  CancelAutoStart();
  events_.Fire(kOnClear);
  window_.EmptyList();
  window_.UpdateFileCount();
  if (window_.Exists()) {
    SendMessageW(window_.ProgressBar(), PBM_SETRANGE32, 0, 0);
    SendMessageW(window_.ProgressBar(), PBM_SETSTEP, 1, 0);
  }
  StatusText.clear();
  ProgressText.clear();
  RemainText.clear();
  window_.DrawLabel(TextArea::kStatus, StatusText);
  window_.DrawLabel(TextArea::kRemain, ProgressText);
  window_.DrawLabel(TextArea::kEndTime, RemainText);
  Release();
}

}  // namespace zorvel
