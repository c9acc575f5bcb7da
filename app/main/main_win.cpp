#include "app/main/main_win.h"

#include "app/main/bas_main.h"
#include "app/main/command_line.h"
#include "app/main/config_store_win.h"
#include "app/main/file_utils_win.h"
#include "app/main/user_dialogs_win.h"

void Main(std::u16string_view arguments, const StartupWindows& windows) {
  const StartupRequest request = ParseCommandLine(arguments);
  basMain::blnLog = request.blnLog;

  if (!request.descriptorPath.empty()) {
    if (CheckFileExist(request.descriptorPath)) {
      windows.showDownload(request.descriptorPath);
    } else {
      ShowAppMessage(u"oftsファイルが見つかりません。", MB_ICONERROR);
    }
    return;
  }

  // Everything is read before the product check, so the forward window finds it all.
  basMain::strProductID = GetProductID();
  basMain::strSendName = GetSendUserName();
  GetTempDirPath();
  GetFileTransURL(basMain::strFileTransUrl, basMain::strSaveSizeUrl, basMain::strHistoryUrl);

  if (!basMain::strProductID.empty()) {
    windows.showForward();
  } else {
    ShowAppMessage(u"Orvane、またはOrvanePlusがインストールされていないため起動出来ません。",
                   MB_ICONERROR);
  }
}
