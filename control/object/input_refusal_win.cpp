#include "control/object/input_refusal_win.h"

#include <cstdio>
#include <string>
#include <vector>

#include "control/object/module_win.h"
#include "control/object/zorvex_win.h"
#include "control/resources/zorvel_resources.h"

namespace zorvel {

bool RefuseUnsafeInput(Zorvex& control, std::initializer_list<NamedText> texts) {
  std::optional<std::string_view> unsafe = FirstUnsafeText(texts);
  if (!unsafe) {
    ControlWindow& window = control.Window();
    for (int i = 0; i < window.EntryCount(); ++i) {
      if (HasControlCharacter(window.EntryText(i))) {
        unsafe = "FilePath";
        break;
      }
    }
  }
  if (!unsafe) return false;
  const std::string name(*unsafe);
  control.LogLine("Refused: " + name + " holds a control character.");
  char text[512];
  std::snprintf(text, sizeof text, LoadAnsiString(IDS_URL_ERROR).c_str(), name.c_str());
  control.ProgressText = text;
  control.Result = kInputRefused;
  return true;
}

void RefuseListedSize(Zorvex& control, ListedSize check, const std::string& path) {
  std::vector<char> text(path.size() + 256);
  if (check == ListedSize::kTooLarge) {
    std::snprintf(text.data(), text.size(), LoadAnsiString(IDS_SIZE_OVER).c_str(),
                  static_cast<int>(ListLimit(control.MaxSizeBytes) / 1024));
  } else {
    const UINT format = check == ListedSize::kEmpty ? IDS_EMPTY_FILE : IDS_ACCESS_ERROR;
    std::snprintf(text.data(), text.size(), LoadAnsiString(format).c_str(), path.c_str());
  }
  control.StatusText = text.data();
  control.Window().DrawLabel(TextArea::kStatus, control.StatusText);
  control.LogLine("Refused at start: " + control.StatusText);
  control.Result = kSendFailed;
}

}  // namespace zorvel
