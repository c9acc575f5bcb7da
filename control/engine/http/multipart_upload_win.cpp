#include "control/engine/http/multipart_upload_win.h"

// The common controls need the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "control/engine/http/answer_reader.h"
#include "control/engine/http/upload_address.h"
#include "control/engine/http/upload_files_win.h"
#include "control/engine/http/upload_request.h"
#include "control/engine/http/write_stretch.h"
#include "control/engine/socket/line_extraction.h"
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
#include "control/window/file_entry_text.h"
#include "control/window/list_limits.h"
#include "control/window/progress_text.h"
#include "control/window/window_pacer.h"

namespace zorvel {
namespace {

constexpr int kLineCapacity = 8192;

TimeOfDay Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

std::string Format(UINT id, int first, int second = 0) {
  char text[512];
  std::snprintf(text, sizeof text, LoadAnsiString(id).c_str(), first, second);
  return text;
}

class HttpRun : private EngineRun {
 public:
  HttpRun(UploadRun& run, SocketConnection& connection) : EngineRun(run, connection) {}

  int Perform();

 private:
  bool BuildItemTable();
  int ConnectToServer(const UploadAddress& address);
  // The TLS session of an "https://" run, in the proxy's tunnel where there is one: 0 or the
  // connection error.
  int OpenSecureChannel(const UploadAddress& address);
  int OpenTunnel(const UploadAddress& address);
  int SendRequest(const UploadAddress& address);
  // 0, or the failing operation's number (ending the run is left to the caller).
  int SendFile(int number, const UploadItem& item, BarSteps& steps, long& sent);
  void ShowProgress(long sent);
  // Dispatches a pending message when the pacer says it is time to look.
  void PumpPaced();
  void DrawProgress();
  // Writes the latest block's texts into the run's state before anything can look at them.
  void SettleProgress();
  // The last figures, when the pacer has not drawn them yet.
  void DrawPendingProgress();
  int ReadAnswer();
  int SendFailureEnd(int code);
  int ServerErrorEnd();
  // A server that sends more than an answer can be: the send-failure end with kLineTooLong.
  int AnswerTooLongEnd(const char* part);
  void StepBar();

  ItemTable table_;
  UploadFile file_;
  WindowPacer pacer_;
  TimeOfDay runStart_{};
  // Elapsed time by the tick count: reading the clock of the day at every block costs a call
  // into the system under Wine.
  DWORD transferStartTick_ = 0;
  std::string sendingPrefix_;
  ProgressFigures figures_;
  WriteStretch stretch_;
  // The remaining time on screen, so that it is drawn again only when it changed.
  std::optional<std::string> remainDrawn_;
};

void HttpRun::StepBar() {
  SettleProgress();
  if (window_.Exists()) SendMessageW(window_.ProgressBar(), PBM_STEPIT, 0, 0);
  DispatchPendingMessage();
}

int HttpRun::Perform() {
  runStart_ = Now();
  const std::string& url = settings_.URL;
  if (RefuseUnsafeInput(run_, {{"URL", url},
                               {"Para1", settings_.Para1},
                               {"Para2", settings_.Para2},
                               {"Para3", settings_.Para3},
                               {"Auth", settings_.Auth},
                               {"ProxyAuth", settings_.ProxyAuth},
                               {"Cookie", settings_.CookieText},
                               {"Referer", settings_.PageUrl}})) {
    return 0;
  }
  if (!BuildItemTable()) return 0;
  const bool secure = StartsWithIgnoreCase(url, "https://");
  const std::string& proxy =
      secure && !settings_.ProxyTls.empty() ? settings_.ProxyTls : settings_.Proxy;
  const UploadAddress address =
      ResolveUploadAddress(url, proxy, static_cast<int>(settings_.TimeoutSeconds));
  if (const int failed = ConnectToServer(address)) return failed;
  return SendRequest(address);
}

bool HttpRun::BuildItemTable() {
  SetStatus(LoadAnsiString(IDS_PREPARING));
  window_.SuspendListRedraw(true);
  const int count = std::min(window_.EntryCount(), kMaxUploadItems);
  int64_t total = 0;
  for (int i = 0; i < count; ++i) {
    UploadItem item = MakeUploadItem(window_.EntryText(i), -1);
    // Files may have changed since they were listed: the index, Content-Length and the run's
    // counters rely on the limits the list keeps, so what it would refuse is refused now.
    const long long size = MeasureUploadFile(item.path);
    const ListedSize check = CheckListedSize(size, total, settings_.MaxSizeBytes);
    if (check != ListedSize::kFits) {
      window_.SuspendListRedraw(false);
      RefuseListedSize(run_, check, item.path);
      return false;
    }
    total += size;
    item.size = static_cast<long>(size);
    table_.Add(std::move(item));
    DispatchPendingMessage();
    if (state_.CancelRequested) {
      window_.SuspendListRedraw(false);
      ending_.Fail(kCancelled, std::string());
      return false;
    }
  }
  window_.SuspendListRedraw(false);
  if (window_.Exists()) {
    EnableWindow(window_.List(), TRUE);
    RedrawWindow(window_.List(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    DispatchPendingMessage();
    EnableWindow(window_.List(), FALSE);
  }
  return true;
}

int HttpRun::ConnectToServer(const UploadAddress& address) {
  SetStatus(LoadAnsiString(IDS_CONNECTING));
  DispatchPendingMessage();
  char text[1024];
  std::snprintf(text, sizeof text, "Connecting... %s:%d", address.host.c_str(), address.port);
  run_.LogLine(text);
  int code = connection_.Connect(address.host, address.port, address.timeoutSeconds).Number();
  if (code == 0 && address.secure) code = OpenSecureChannel(address);
  if (code == 0) return 0;
  ending_.Fail(kConnectFailed, Format(IDS_CONNECT_ERROR, code));
  return code;
}

int HttpRun::OpenSecureChannel(const UploadAddress& address) {
  if (!address.tunnelTarget.empty()) {
    if (const int code = OpenTunnel(address)) return code;
  }
  std::string why;
  const int code = connection_.StartTls(address.serverName, why).Number();
  if (code != 0 && !why.empty()) {
    run_.LogLine("No secure connection to " + address.serverName + ": " + why + ".");
  }
  return code;
}

int HttpRun::OpenTunnel(const UploadAddress& address) {
  run_.LogLine("Tunnel to " + address.tunnelTarget + "...");
  const std::string request = MakeConnectRequest(address.tunnelTarget, settings_.ProxyAuth);
  if (const int code =
          connection_.SendAll(request.data(), static_cast<int>(request.size())).Number()) {
    return code;
  }
  std::string statusLine, line;
  if (const int code = connection_.ReadLine(statusLine, kLineCapacity).Number()) return code;
  // The proxy's header lines end at an empty one; a proxy that never ends them is not a tunnel.
  constexpr int kMaxTunnelLines = 100;
  int lines = 0;
  do {
    if (++lines > kMaxTunnelLines) return kLineTooLong;
    if (const int code = connection_.ReadLine(line, kLineCapacity).Number()) return code;
  } while (!line.empty());
  const int status = AnswerStatusCode(statusLine);
  if (status >= 200 && status < 300) return 0;
  run_.LogLine("The proxy refused the tunnel: " + statusLine);
  return status > 0 ? status : WSAECONNREFUSED;
}

int HttpRun::SendRequest(const UploadAddress& address) {
  ending_.SaveCaption();
  sendingPrefix_ = LoadAnsiString(IDS_UPLOADING);
  figures_.Start(table_.totalBytes, LoadAnsiString(IDS_REMAIN_TIME));
  SetStatus(sendingPrefix_);
  transferStartTick_ = GetTickCount();
  const std::string para = MakeParaBlock(settings_.Para1, settings_.Para2, settings_.Para3);
  const long paraLength = static_cast<long>(para.size());
  const std::string magic = MakeMagicBlock(table_, paraLength);
  // Inside a tunnel the proxy's credentials went with CONNECT; the server never sees them.
  RequestHeaderFields fields{address.requestLine,
                             settings_.Auth,
                             address.secure ? std::string() : settings_.ProxyAuth,
                             settings_.PageUrl,
                             settings_.CookieText,
                             address.hostLine};
  const std::string header =
      MakeHeaderBlock(fields, ContentLength(static_cast<long>(magic.size()), paraLength, table_));
  run_.LogLine(header);

  for (const std::string* block : {&header, &magic, &para}) {
    if (block->empty()) continue;
    if (const int code =
            connection_.SendAll(block->data(), static_cast<int>(block->size())).Number()) {
      return SendFailureEnd(code);
    }
  }
  if (window_.Exists()) {
    SendMessageW(window_.ProgressBar(), PBM_SETRANGE32, 0, BarSteps::kBarRange);
    SendMessageW(window_.ProgressBar(), PBM_SETSTEP, 1, 0);
  }
  DispatchPendingMessage();
  BarSteps steps(table_.totalBytes);
  long sent = 0;
  for (size_t i = 0; i < table_.items.size(); ++i) {
    if (const int code = SendFile(static_cast<int>(i + 1), table_.items[i], steps, sent)) {
      return SendFailureEnd(code);
    }
    if (state_.CancelRequested) return SendFailureEnd(0);
  }
  const int code =
      connection_.SendAll(kClosingDelimiter.data(), static_cast<int>(kClosingDelimiter.size()))
          .Number();
  if (code) return SendFailureEnd(code);
  SetStatus(LoadAnsiString(IDS_WAITING));
  run_.LogLine("Waiting response...");
  return ReadAnswer();
}

int HttpRun::SendFile(int number, const UploadItem& item, BarSteps& steps, long& sent) {
  window_.SelectEntry(number - 1);
  const std::string head = MakeFilePartHead(number, item);
  SetStatus(sendingPrefix_ + " " + std::to_string(number));
  char text[4096 + 64];
  if (item.alias) {
    std::snprintf(text, sizeof text, "Sending... %s (%ld bytes) as %s", item.path.c_str(),
                  item.size, item.alias->c_str());
  } else {
    std::snprintf(text, sizeof text, "Sending... %s (%ld bytes)", item.path.c_str(), item.size);
  }
  run_.LogLine(text);
  // The index and Content-Length went out with the sizes measured when the table was built; a
  // file that changed since would shift or cut what the server stores, so it stops the run
  // before any of its bytes are sent.
  long long actualSize = -1;
  if (const DWORD error = file_.Open(item.path, item.size, actualSize)) {
    if (actualSize < 0) {
      std::snprintf(text, sizeof text, "Cannot open %s (error %lu).", item.path.c_str(), error);
    } else {
      std::snprintf(text, sizeof text,
                    "File changed since listed: %s (%ld bytes listed, %lld now).",
                    item.path.c_str(), item.size, actualSize);
    }
    run_.LogLine(text);
    return static_cast<int>(error);
  }
  if (const int code = connection_.SendAll(head.data(), static_cast<int>(head.size())).Number()) {
    return code;
  }
  // Several blocks go to the socket in one write; then each is accounted as if it had gone alone,
  // so a cancel is still seen after the block during which it came.
  for (long done = 0; done < item.size;) {
    const long wanted = std::min(UploadFile::kBlockBytes * stretch_.Blocks(), item.size - done);
    long ready = 0;
    const char* data = file_.Take(done, wanted, ready);
    if (ready > 0) {
      if (const int code = connection_.SendAll(data, static_cast<int>(ready)).Number()) return code;
      stretch_.Written(connection_.LastSendWaited());
    }
    for (long accounted = 0; accounted < ready;) {
      const long block = std::min(UploadFile::kBlockBytes, ready - accounted);
      PumpPaced();
      accounted += block;
      done += block;
      sent += block;
      for (int moves = steps.Add(block); moves > 0; --moves) StepBar();
      ShowProgress(sent);
      if (state_.CancelRequested) break;
    }
    SettleProgress();
    if (state_.CancelRequested) break;
    if (ready < wanted) return static_cast<int>(file_.LastError());
  }
  DrawPendingProgress();
  file_.Close();
  return 0;
}

void HttpRun::PumpPaced() {
  if (!pacer_.PumpDue(GetTickCount())) return;
  SettleProgress();
  const bool found = DispatchPendingMessages(WindowPacer::kMessagesPerLook) > 0;
  pacer_.Pumped(GetTickCount(), found);
}

void HttpRun::ShowProgress(long sent) {
  const DWORD now = GetTickCount();
  figures_.Note(sent, std::max(static_cast<long>(now - transferStartTick_), 10L));
  if (pacer_.DrawDue(now)) DrawProgress();
  if (run_.events.Listened()) {
    SettleProgress();
    run_.events.Fire(kOnProgress, state_.ProgressText + "\t" + state_.RemainText);
  }
  PumpPaced();
}

void HttpRun::SettleProgress() { figures_.Settle(state_.ProgressText, state_.RemainText); }

void HttpRun::DrawProgress() {
  SettleProgress();
  window_.DrawLabel(TextArea::kRemain, state_.ProgressText);
  if (state_.RemainText != remainDrawn_) {
    remainDrawn_ = state_.RemainText;
    window_.DrawLabel(TextArea::kEndTime, state_.RemainText);
  }
  if (settings_.BrowserWindow) SetWindowTextA(settings_.BrowserWindow, state_.ProgressText.c_str());
}

void HttpRun::DrawPendingProgress() {
  if (pacer_.Flush(GetTickCount())) DrawProgress();
}

int HttpRun::ReadAnswer() {
  AnswerReader reader(state_.ResponseHeaders);
  std::string line;
  for (;;) {
    if (const int code = connection_.ReadLine(line, kLineCapacity).Number()) {
      return SendFailureEnd(code);
    }
    const AnswerReader::Next next = reader.TakeLine(line);
    if (!reader.ProgressLine().empty()) state_.ProgressText = reader.ProgressLine();
    if (reader.HeadersToLog()) run_.LogLine(state_.ResponseHeaders.View());
    if (line.empty()) state_.ResponseHeaders.Empty();
    if (next == AnswerReader::Next::kServerError) return ServerErrorEnd();
    if (next == AnswerReader::Next::kTooLong) return AnswerTooLongEnd("header");
    if (next == AnswerReader::Next::kBody) break;
  }
  StepBar();
  // The server's close, or the announced length, ends the body. A cancel, the time-out, or
  // bytes that cannot be kept end the run as a failure: a cut-short answer is not the answer.
  long received = 0;
  while (!reader.BodyComplete(received)) {
    int length = 0;
    SocketStatus status;
    const std::unique_ptr<char[]> block = connection_.ReadAvailable(length, status);
    if (status.Result() == kWaitEnded || status.SystemError() == WSAENOBUFS) {
      return SendFailureEnd(status.Number());
    }
    if (!block || status.Failed()) break;
    if (received + length > AnswerReader::kBodyLimit) return AnswerTooLongEnd("body");
    if (!state_.ResponseBody.Append(block.get(), length)) return SendFailureEnd(WSAENOBUFS);
    received += length;
    DispatchPendingMessage();
    if (state_.CancelRequested) return SendFailureEnd(0);
  }
  const long seconds = ElapsedMs(runStart_, Now()) / 1000;
  state_.StatusText =
      Format(IDS_COMPLETE, static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
  if (window_.Exists()) SendMessageW(window_.ProgressBar(), PBM_STEPIT, 0, 0);
  ending_.Complete(state_.ResponseBody.Text());
  state_.Result = kSucceeded;
  return 1;
}

int HttpRun::SendFailureEnd(int code) {
  DrawPendingProgress();
  file_.Close();
  ending_.Fail(kSendFailed, Format(IDS_SEND_ERROR, code));
  return 0;
}

int HttpRun::AnswerTooLongEnd(const char* part) {
  run_.LogLine(std::string("Answer ") + part + " too long: refused.");
  return SendFailureEnd(kLineTooLong);
}

int HttpRun::ServerErrorEnd() {
  ending_.Fail(kServerError, LoadAnsiString(IDS_SERVER_ERROR));
  return 0;
}

}  // namespace

int MultipartUpload(UploadRun& run, SocketConnection& connection) {
  HttpRun upload(run, connection);
  return upload.Perform();
}

}  // namespace zorvel
