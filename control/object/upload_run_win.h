// What an upload engine may touch: the settings it reads, the run state it writes, the window it
// draws on and the events it raises (log lines among them), and nothing else of the control.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "control/engine/socket/byte_buffer.h"
#include "control/object/run_result.h"

namespace zorvel {

class ControlWindow;
class EventSource;

// The properties an upload reads. Texts are ANSI bytes.
struct UploadSettings {
  std::string URL, Para1, Para2, Para3, Auth, ProxyAuth, Proxy, ProxyFtp, AscExt;
  // The system's proxy for "https://" addresses while Proxy is the system's too; a Proxy the host
  // puts clears it.
  std::string ProxyTls;
  std::string PageUrl, CookieText;
  long TimeoutSeconds = 120;
  long Count = 0, MaxSizeBytes = 0;
  long Passive = 0;
  // The browser hosting the control: progress shows in its caption while a run goes on.
  HWND BrowserWindow = nullptr;
};

// What an upload leaves for the page to read, and the cancel it watches.
struct RunState {
  // A RunResult.
  long Result = kSucceeded;
  ByteBuffer ResponseBody, ResponseHeaders;
  std::string StatusText, ProgressText, RemainText;
  bool CancelRequested = false;
};

// One run's view of its control.
struct UploadRun {
  const UploadSettings& settings;
  RunState& state;
  ControlWindow& window;
  EventSource& events;

  void LogLine(std::string_view text) const;
};

// Raises OnLog with the line stamped with the local time.
void FireLogLine(EventSource& events, std::string_view text);

}  // namespace zorvel
