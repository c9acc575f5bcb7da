#include "control/engine/ftp/ftp_client_win.h"

#include <cctype>

#include "control/engine/ftp/ftp_data_win.h"
#include "control/engine/ftp/ftp_reply.h"
#include "control/engine/ftp/ftp_session_win.h"
#include "control/engine/ftp/ftp_store_rules.h"
#include "control/engine/socket/socket_connection_win.h"
#include "control/window/control_window_win.h"
#include "control/window/log_text.h"

namespace zorvel {
namespace {

constexpr size_t kLogLineLimit = 4095;

class SessionLines : public FtpLineSource {
 public:
  explicit SessionLines(FtpSession& session) : session_(session) {}
  int ReadLine(std::string& line, int capacity) override {
    return session_.connection.ReadLine(line, capacity).Number();
  }
  void Log(std::string_view line) override { FtpLog(session_, line); }
  bool Aborted() override { return session_.connection.AbortState() != kNotAborted; }

 private:
  FtpSession& session_;
};

bool IsPasv(std::string_view command) {
  if (command.size() < 4) return false;
  for (size_t i = 0; i < 4; ++i) {
    if (std::toupper(static_cast<unsigned char>(command[i])) != "PASV"[i]) return false;
  }
  return true;
}

// Greeting and the control socket's option, as both logins begin.
FtpLoginResult ReadGreeting(FtpSession& session) {
  if (FtpReadReply(session) != kReplyCompleted) return kLoginRefused;
  const BOOL inline_ = TRUE;
  if (setsockopt(session.connection.Socket(), SOL_SOCKET, SO_OOBINLINE,
                 reinterpret_cast<const char*>(&inline_), sizeof inline_) != 0) {
    return kSocketOptionRefused;
  }
  session.reply.replyDepth = 0;
  return kLoggedIn;
}

FtpLoginResult UserAndPassword(FtpSession& session, const std::string& user,
                               const std::string& password) {
  int reply = FtpCommand(session, "USER ", user);
  if (reply == kReplyIntermediate) reply = FtpCommand(session, "PASS ", password);
  return reply == kReplyCompleted ? kLoggedIn : kLoginRefused;
}

}  // namespace

void FtpLog(FtpSession& session, std::string_view text) {
  if (!session.window) return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  const LocalTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  std::string line = MakeLogLine(time, text);
  if (line.size() > kLogLineLimit) line.resize(kLogLineLimit);
  SendMessageW(session.window->Handle(), WM_UPLOAD_LOG, reinterpret_cast<WPARAM>(line.c_str()), 0);
}

int FtpReadReply(FtpSession& session) {
  SessionLines lines(session);
  return ReadFtpReply(session.reply, lines);
}

int FtpCommand(FtpSession& session, std::string_view command, std::string_view argument) {
  if (IsPasv(command)) {
    session.passiveMode = true;
    return kReplyCompleted;
  }
  const std::optional<std::string> line = MakeCommandLine(command, argument);
  if (!line) {
    FtpLog(session, std::string(command.substr(0, 4)) + " line longer than 511 bytes");
    return 0;
  }
  session.connection.SendAll(line->data(), static_cast<int>(line->size()));
  FtpLog(session, LoggedCommand(*line));
  return FtpReadReply(session);
}

FtpLoginResult FtpLogin(FtpSession& session, const std::string& user, const std::string& password) {
  session.transferType = 'A';
  session.passiveMode = false;
  session.reply.replyDepth = 0;
  session.reply.replyText.clear();
  if (const FtpLoginResult refused = ReadGreeting(session)) return refused;
  return UserAndPassword(session, user, password);
}

FtpLoginResult FtpProxyLogin(FtpSession& session, const std::string* proxyUser,
                             const std::string& proxyPassword, const std::string* siteCommand,
                             const std::string& user, const std::string& password) {
  session.transferType = 'A';
  session.passiveMode = false;
  if (const FtpLoginResult refused = ReadGreeting(session)) return refused;
  if (proxyUser) {
    int reply = FtpCommand(session, "USER ", *proxyUser);
    if (reply == kReplyIntermediate) reply = FtpCommand(session, "PASS ", proxyPassword);
    if (reply != kReplyCompleted && reply != kReplyIntermediate) return kLoginRefused;
  }
  if (siteCommand) {
    const int reply = FtpCommand(session, *siteCommand, "");
    if (reply != kReplyCompleted && reply != kReplyIntermediate) return kLoginRefused;
  }
  return UserAndPassword(session, user, password);
}

namespace {

// Closes the local file of a store on every way out.
class LocalFile {
 public:
  explicit LocalFile(HANDLE handle) : handle_(handle) {}
  ~LocalFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  LocalFile(const LocalFile&) = delete;
  LocalFile& operator=(const LocalFile&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

int FtpStore(FtpSession& session, const std::string& storLine, const std::string& localPath,
             char type) {
  if (session.connection.Socket() == INVALID_SOCKET) return 0;
  // Too long for a command line: no data connection is opened for a STOR that cannot be sent.
  if (!MakeCommandLine(storLine, "")) {
    FtpLog(session, "STOR line longer than 511 bytes: " + localPath);
    return 0;
  }
  // The file is opened before the server is asked to store it: a file that went away or is
  // locked must not leave an empty file on the server, reported as sent.
  const LocalFile file(FtpOpenLocalFile(session, localPath));
  if (file.Get() == INVALID_HANDLE_VALUE) return 0;
  if (type != session.transferType) {
    FtpCommand(session, MakeTypeCommand(type), "");
    session.transferType = type;
  }
  DataSocket data;
  if (session.passiveMode) {
    data = FtpOpenPassive(session);
    if (!data) return 0;
    if (FtpCommand(session, storLine, "") != kReplyPreliminary) return 0;
  } else {
    DataSocket listener = FtpOpenActive(session);
    if (!listener) return session.reply.replyCode;
    if (FtpCommand(session, storLine, "") != kReplyPreliminary) return 0;
    data = FtpAcceptData(session, listener);
    listener.Close();
    if (!data) {
      FtpLog(session, "data connection not accepted");
      return 0;
    }
  }
  const SendOutcome outcome = FtpSendFile(session, data.Get(), file.Get(), type == 'I');
  if (outcome == SendOutcome::kTimedOut || outcome == SendOutcome::kFailed) {
    // The server holds part of the file: whatever it answers, this store failed.
    data.Abort();
    FtpLog(session, outcome == SendOutcome::kTimedOut ? "data connection timed out"
                                                      : "data transfer broken off");
    return 0;
  }
  // The server takes the end of the data connection for the end of the file.
  data.Close();
  return FtpReadReply(session);
}

void FtpQuit(FtpSession& session) {
  FtpCommand(session, "QUIT", "");
  session.connection.Close();
}

}  // namespace zorvel
