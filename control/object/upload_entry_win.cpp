#include "control/object/upload_entry_win.h"

#include <cstdio>

#include "control/engine/socket/socket_layer_win.h"
#include "control/object/module_win.h"
#include "control/object/upload_run_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/window/file_entry_text.h"

namespace zorvel {
namespace {

int RefuseAddress(UploadRun& run) {
  char text[512];
  std::snprintf(text, sizeof text, LoadAnsiString(IDS_URL_ERROR).c_str(), run.settings.URL.c_str());
  run.state.ProgressText = text;
  run.state.Result = kInputRefused;
  return 0;
}

}  // namespace

int StartUpload(const UploadEngines& engines, UploadRun& run, SocketConnection& connection) {
  RunState& state = run.state;
  state.ProgressText.clear();
  state.ResponseHeaders.Empty();
  state.ResponseBody.Empty();
  state.Result = kSucceeded;
  state.CancelRequested = false;
  DispatchPendingMessage();
  const std::string& url = run.settings.URL;
  UploadFunction engine = nullptr;
  if (StartsWithIgnoreCase(url, "http://") || StartsWithIgnoreCase(url, "https://")) {
    engine = engines.http;
  } else if (StartsWithIgnoreCase(url, "ftp://")) {
    engine = engines.ftp;
  }
  return engine ? engine(run, connection) : RefuseAddress(run);
}

}  // namespace zorvel
