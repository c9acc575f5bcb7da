#include "control/engine/ftp/ftp_upload_win.h"

// The common controls need the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "control/engine/ftp/ftp_address.h"
#include "control/engine/ftp/ftp_client_win.h"
#include "control/engine/ftp/ftp_reply.h"
#include "control/engine/ftp/ftp_session_win.h"
#include "control/engine/ftp/ftp_store_rules.h"
#include "control/engine/socket/socket_connection_win.h"
#include "control/engine/socket/socket_layer_win.h"
#include "control/object/engine_run_win.h"
#include "control/object/event_source_win.h"
#include "control/object/input_refusal_win.h"
#include "control/object/module_win.h"
#include "control/object/upload_run_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/window/bar_steps.h"
#include "control/window/control_window_win.h"
#include "control/window/list_limits.h"
#include "control/window/progress_text.h"

namespace zorvel {
namespace {

constexpr size_t kReplyShownLimit = 256;

std::string Format(UINT id, int first, int second = 0) {
  char text[512];
  std::snprintf(text, sizeof text, LoadAnsiString(id).c_str(), first, second);
  return text;
}

// -1 when the file cannot be measured.
long long LocalFileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TimeOfDay Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

class FtpRun : private EngineRun {
 public:
  FtpRun(UploadRun& run, SocketConnection& connection)
      : EngineRun(run, connection), session_(connection) {}

  int Perform();

 private:
  int Login(const FtpAddress& address);
  int StoreAll(const FtpAddress& address);
  // Files may have changed since they were listed; what the list would refuse is refused now,
  // before connecting.
  bool ListStillFits();
  void StepBarToEnd();

  FtpSession session_;
  TimeOfDay start_{};
};

int FtpRun::Perform() {
  // A Cancel taken since the run began stands: clearing it here would store every file after
  // the control said the cancel was accepted.
  state_.Result = kSucceeded;
  start_ = Now();
  DispatchPendingMessage();
  if (window_.Exists()) EnableWindow(window_.List(), FALSE);
  state_.ProgressText.clear();
  state_.ResponseBody.Empty();

  // The user, password, folder, proxy login and stored names all become command lines.
  if (RefuseUnsafeInput(
          run_,
          {{"URL", settings_.URL}, {"Auth", settings_.Auth}, {"ProxyFtp", settings_.ProxyFtp}})) {
    return 0;
  }
  const FtpAddress address =
      SplitFtpUrl(settings_.URL, settings_.Auth, static_cast<int>(settings_.TimeoutSeconds));
  if (!ListStillFits()) return 0;
  if (state_.CancelRequested) {
    ending_.Fail(kCancelled, std::string());
    return 0;
  }
  SetStatus(LoadAnsiString(IDS_CONNECTING));
  session_.window = window_.Exists() ? &window_ : nullptr;
  session_.bytesSent = 0;
  if (const int failed = Login(address)) return failed;
  // Connecting makes a fresh socket, which forgets an abort set while the lookup ran.
  if (state_.CancelRequested) {
    ending_.Fail(kCancelled, std::string());
    return 0;
  }
  return StoreAll(address);
}

bool FtpRun::ListStillFits() {
  int64_t total = 0;
  for (int i = 0; i < window_.EntryCount() && i < settings_.Count; ++i) {
    const std::string path = SplitStoreItem(window_.EntryText(i)).localPath;
    const long long size = LocalFileSize(path);
    const ListedSize check = CheckListedSize(size, total, settings_.MaxSizeBytes);
    if (check != ListedSize::kFits) {
      RefuseListedSize(run_, check, path);
      return false;
    }
    total += size;
  }
  return true;
}

int FtpRun::Login(const FtpAddress& address) {
  char text[1024];
  int code = 0;
  int login = 0;
  if (settings_.ProxyFtp.empty()) {
    std::snprintf(text, sizeof text, "Connecting... %s:%d", address.host.c_str(), address.port);
    run_.LogLine(text);
    code = connection_.Connect(address.host, address.port, address.seconds).Number();
    if (code == 0) login = FtpLogin(session_, address.user, address.password);
  } else {
    const FtpProxyRoute proxy = MakeProxyRoute(settings_.ProxyFtp, address.user, address.host);
    const int port = proxy.port.value_or(address.port);
    std::snprintf(text, sizeof text, "Connecting... %s:%d", proxy.host.c_str(), port);
    run_.LogLine(text);
    code = connection_.Connect(proxy.host, port, address.seconds).Number();
    if (code == 0) {
      login = FtpProxyLogin(session_, proxy.proxyUser ? &*proxy.proxyUser : nullptr,
                            proxy.proxyPassword, proxy.siteCommand ? &*proxy.siteCommand : nullptr,
                            proxy.loginUser, address.password);
    }
  }
  if (code == 0 && login == 0) return 0;
  const int failed = code != 0 ? code : login;
  const std::string reply = session_.reply.replyText;
  const RunResult ended = ending_.Fail(kConnectFailed, Format(IDS_CONNECT_ERROR, failed));
  if (ended == kConnectFailed && code == 0 && reply.size() < kReplyShownLimit) {
    state_.ProgressText = reply.substr(0, reply.find('\r'));
    window_.DrawLabel(TextArea::kRemain, state_.ProgressText);
  }
  return failed;
}

int FtpRun::StoreAll(const FtpAddress& address) {
  const std::vector<std::string> ascEntries = SplitAscExt(settings_.AscExt);
  if (settings_.Passive) FtpCommand(session_, "PASV", "");
  ending_.SaveCaption();
  const std::string uploading = LoadAnsiString(IDS_UPLOADING);
  SetStatus(uploading);
  if (window_.Exists()) {
    SendMessageW(window_.ProgressBar(), PBM_SETRANGE, 0, MAKELPARAM(0, BarSteps::kBarRange));
    SendMessageW(window_.ProgressBar(), PBM_SETSTEP, 1, 0);
  }
  DispatchPendingMessage();
  window_.ResetFtpProgress();

  int stored = kReplyCompleted;
  for (int i = 0; stored == kReplyCompleted && !state_.CancelRequested &&
                  i < window_.EntryCount() && i < settings_.Count;
       ++i) {
    window_.SelectEntry(i);
    const std::string itemText = window_.EntryText(i);
    SetStatus(uploading + " " + std::to_string(i + 1));
    const StoreItem item = SplitStoreItem(itemText);
    std::vector<char> text(item.localPath.size() + item.storedName.size() + 64);
    const long long size = std::max(0LL, LocalFileSize(item.localPath));
    if (item.hasAlias) {
      std::snprintf(text.data(), text.size(), "Sending... %s (%lld bytes) as %s",
                    item.localPath.c_str(), size, item.storedName.c_str());
    } else {
      std::snprintf(text.data(), text.size(), "Sending... %s (%lld bytes)", item.localPath.c_str(),
                    size);
    }
    run_.LogLine(text.data());
    const char type = ChooseTransferType(itemText, item.storedName, ascEntries);
    stored =
        FtpStore(session_, MakeStorLine(address.directory, item.storedName), item.localPath, type);
  }
  if (stored == kReplyCompleted && !state_.CancelRequested) {
    StepBarToEnd();
    const long seconds = ElapsedMs(start_, Now()) / 1000;
    state_.StatusText =
        Format(IDS_COMPLETE, static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
    FtpQuit(session_);
    ending_.Complete(state_.StatusText);
    return 1;
  }
  ending_.Fail(kSendFailed, Format(IDS_SEND_ERROR, stored));
  return 0;
}

void FtpRun::StepBarToEnd() {
  if (!window_.Exists()) return;
  for (int i = 0; i < BarSteps::kBarRange &&
                  SendMessageW(window_.ProgressBar(), PBM_GETPOS, 0, 0) < BarSteps::kBarRange;
       ++i) {
    SendMessageW(window_.ProgressBar(), PBM_STEPIT, 0, 0);
  }
}

}  // namespace

int FtpUpload(UploadRun& run, SocketConnection& connection) {
  FtpRun upload(run, connection);
  return upload.Perform();
}

}  // namespace zorvel
