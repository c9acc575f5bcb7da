// Parvek.dll: W3getv downloads the file a command text names into a folder. The progress
// callback runs on the caller's thread, first with the file's size, then with the bytes received
// so far; a nonzero answer stops the request. The caller's window messages keep flowing
// meanwhile, so its timers fire and its buttons can be pressed.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "components/download/w3getv_codes.h"
#include "components/download/w3getv_command.h"
#include "components/download/w3getv_transfer_win.h"

namespace {

using DownloadCallback = LONG(__stdcall*)(LONG bytes, LPCSTR text);

constexpr DWORD kPollMilliseconds = 50;
// Beyond the request's own time-out, what a stopped thread may take to close its file.
constexpr DWORD kAbortGraceMilliseconds = 3000;

LONG Report(DownloadCallback callback, int64_t bytes) {
  static char text[] = "";
  return callback(static_cast<LONG>(std::min<int64_t>(bytes, 0x7FFFFFFF)), text);
}

void DispatchPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The caller's own loop must still see it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Waits for `thread` to end, at most `milliseconds`, with the caller's messages flowing.
bool WaitWithMessagesFlowing(HANDLE thread, DWORD milliseconds) {
  const uint64_t start = GetTickCount64();
  for (;;) {
    const uint64_t spent = GetTickCount64() - start;
    if (spent >= milliseconds) return false;
    const DWORD wait = MsgWaitForMultipleObjects(
        1, &thread, FALSE,
        std::min<DWORD>(kPollMilliseconds, milliseconds - static_cast<DWORD>(spent)), QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) return true;
    DispatchPendingMessages();
  }
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int32_t Download(const w3getv::Command& command, DownloadCallback callback) {
  if (!IsFolder(command.folder)) return w3getv::kFolderNotFound;
  std::string target = command.folder;
  if (!target.ends_with('\\')) target += '\\';
  target += command.saveName;

  const auto shared = std::make_shared<w3getv::Transfer>(command, target);
  w3getv::Transfer& transfer = *shared;
  if (!transfer.Start()) return w3getv::kNetworkError;
  bool sizeReported = false;
  int64_t reported = 0;
  int32_t stoppedWith = 0;
  HANDLE thread = transfer.thread();
  const HANDLE handles[] = {thread, transfer.sizeKnownEvent()};
  for (;;) {
    // Until the size is reported its arrival ends the wait as well: the thread waits for the
    // answer before it writes anything, and each size probe is a request of its own.
    const DWORD wait = MsgWaitForMultipleObjects(sizeReported ? 1 : 2, handles, FALSE,
                                                 kPollMilliseconds, QS_ALLINPUT);
    const bool ended = wait == WAIT_OBJECT_0;
    DispatchPendingMessages();
    if (!sizeReported && transfer.SizeKnown()) {
      sizeReported = true;
      if (Report(callback, transfer.Size()) != 0) {
        stoppedWith = w3getv::kCancelled;
      } else {
        transfer.Proceed();
      }
    } else if (sizeReported && transfer.Received() != reported) {
      reported = transfer.Received();
      if (Report(callback, reported) != 0) stoppedWith = w3getv::kCancelled;
    }
    if (stoppedWith == 0 && !ended &&
        GetTickCount64() - transfer.LastActivity() >
            static_cast<uint64_t>(command.timeOutMilliseconds)) {
      stoppedWith = w3getv::kTimeOut;
    }
    if (stoppedWith != 0) {
      transfer.Abort();
      // Closing its handles ends the request at once; a network call that ignores that ends
      // at its own time-out. The answer waits until the thread has let go of its file (and
      // removed a partial one), so the caller never finds a stopped download on disk; on a
      // loaded machine that can take seconds.
      const DWORD bound = static_cast<DWORD>(
          std::min<uint64_t>(command.timeOutMilliseconds, 0x7FFFFFFF) + kAbortGraceMilliseconds);
      if (WaitWithMessagesFlowing(thread, bound) && transfer.Result() == w3getv::kStored) {
        // The file was complete just as the caller asked to stop: the stop still holds.
        DeleteFileA(target.c_str());
      }
      return stoppedWith;
    }
    if (ended) return transfer.Result();
  }
}

}  // namespace

extern "C" {

// `commandText` is the command text in the ANSI code page; `callbackAddress` points to the
// address of the progress callback.
LONG __stdcall W3getv(LPSTR commandText, INT_PTR* callbackAddress) {
  if (commandText == nullptr || callbackAddress == nullptr || *callbackAddress == 0) {
    return w3getv::kParameterError;
  }
  const w3getv::ParsedCommand parsed = w3getv::ParseCommand(commandText);
  if (parsed.result != 0) return parsed.result;
  return Download(parsed.command, reinterpret_cast<DownloadCallback>(*callbackAddress));
}

}  // extern "C"
