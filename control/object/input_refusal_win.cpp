#include "control/object/input_refusal_win.h"

#include <cstdio>
#include <string>
#include <vector>

#include "control/object/module_win.h"
#include "control/object/upload_run_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/window/control_window_win.h"

namespace zorvel {

bool RefuseUnsafeInput(UploadRun& run, std::initializer_list<NamedText> texts) {
  std::optional<std::string_view> unsafe = FirstUnsafeText(texts);
  if (!unsafe) {
    ControlWindow& window = run.window;
    for (int i = 0; i < window.EntryCount(); ++i) {
      if (HasControlCharacter(window.EntryText(i))) {
        unsafe = "FilePath";
        break;
      }
    }
  }
  if (!unsafe) return false;
  const std::string name(*unsafe);
  run.LogLine("Refused: " + name + " holds a control character.");
  char text[512];
  std::snprintf(text, sizeof text, LoadAnsiString(IDS_URL_ERROR).c_str(), name.c_str());
  run.state.ProgressText = text;
  run.state.Result = kInputRefused;
  return true;
}

void RefuseListedSize(UploadRun& run, ListedSize check, const std::string& path) {
  std::vector<char> text(path.size() + 256);
  if (check == ListedSize::kTooLarge) {
    std::snprintf(text.data(), text.size(), LoadAnsiString(IDS_SIZE_OVER).c_str(),
                  static_cast<int>(ListLimit(run.settings.MaxSizeBytes) / 1024));
  } else {
    const UINT format = check == ListedSize::kEmpty ? IDS_EMPTY_FILE : IDS_ACCESS_ERROR;
    std::snprintf(text.data(), text.size(), LoadAnsiString(format).c_str(), path.c_str());
  }
  run.state.StatusText = text.data();
  run.window.DrawLabel(TextArea::kStatus, run.state.StatusText);
  run.LogLine("Refused at start: " + run.state.StatusText);
  run.state.Result = kSendFailed;
}

}  // namespace zorvel
