#include "control/object/upload_run_win.h"

#include "control/object/event_source_win.h"
#include "control/window/log_text.h"

namespace zorvel {

void UploadRun::LogLine(std::string_view text) const { FireLogLine(events, text); }

void FireLogLine(EventSource& events, std::string_view text) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const LocalTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  events.Fire(kOnLog, MakeLogLine(time, text));
}

}  // namespace zorvel
