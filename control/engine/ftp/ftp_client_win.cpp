#include "control/engine/ftp/ftp_client_win.h"

#include <cctype>

#include "control/engine/ftp/ftp_data_win.h"
#include "control/engine/ftp/ftp_reply.h"
#include "control/engine/ftp/ftp_store_rules.h"
#include "control/engine/socket/socket_connection_win.h"
#include "control/window/control_window_win.h"
#include "control/window/log_text.h"

namespace zorvel {
namespace {

constexpr size_t kLogLineLimit = 4095;

class ConnectionLines : public FtpLineSource {
 public:
  explicit ConnectionLines(SocketConnection& connection) : connection_(connection) {}
  int ReadLine(std::string& line, int capacity) override {
    return connection_.ReadLine(line, capacity);
  }
  void Log(std::string_view line) override { FtpLog(connection_, line); }
  bool Aborted() override { return connection_.abortState != 0; }

 private:
  SocketConnection& connection_;
};

bool IsPasv(std::string_view command) {
  if (command.size() < 4) return false;
  for (size_t i = 0; i < 4; ++i) {
    if (std::toupper(static_cast<unsigned char>(command[i])) != "PASV"[i]) return false;
  }
  return true;
}

// Greeting and the control socket's option, as both logins begin.
FtpLoginResult ReadGreeting(SocketConnection& connection) {
  if (FtpReadReply(connection) != kReplyCompleted) return kLoginRefused;
  connection.greeted = 1;
  const BOOL inline_ = TRUE;
  if (setsockopt(connection.socket, SOL_SOCKET, SO_OOBINLINE,
                 reinterpret_cast<const char*>(&inline_), sizeof inline_) != 0) {
    return kSocketOptionRefused;
  }
  connection.replyDepth = 0;
  return kLoggedIn;
}

FtpLoginResult UserAndPassword(SocketConnection& connection, const std::string& user,
                               const std::string& password) {
  int reply = FtpCommand(connection, "USER ", user);
  if (reply == kReplyIntermediate) reply = FtpCommand(connection, "PASS ", password);
  return reply == kReplyCompleted ? kLoggedIn : kLoginRefused;
}

}  // namespace

void FtpLog(SocketConnection& connection, std::string_view text) {
  if (!connection.ownerWindow) return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  const LocalTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  std::string line = MakeLogLine(time, text);
  if (line.size() > kLogLineLimit) line.resize(kLogLineLimit);
  SendMessageW(connection.ownerWindow, WM_UPLOAD_LOG, reinterpret_cast<WPARAM>(line.c_str()), 0);
}

int FtpReadReply(SocketConnection& connection) {
  FtpReplyState state{connection.replyDepth, connection.replyCode, std::move(connection.replyText)};
  ConnectionLines lines(connection);
  const int result = ReadFtpReply(state, lines);
  connection.replyDepth = state.replyDepth;
  connection.replyCode = state.replyCode;
  connection.replyText = std::move(state.replyText);
  return result;
}

int FtpCommand(SocketConnection& connection, std::string_view command, std::string_view argument) {
  if (IsPasv(command)) {
    connection.passiveMode = 1;
    return kReplyCompleted;
  }
  const std::optional<std::string> line = MakeCommandLine(command, argument);
  if (!line) {
    FtpLog(connection, std::string(command.substr(0, 4)) + " line longer than 511 bytes");
    return 0;
  }
  connection.SendAll(line->data(), static_cast<int>(line->size()));
  FtpLog(connection, LoggedCommand(*line));
  return FtpReadReply(connection);
}

FtpLoginResult FtpLogin(SocketConnection& connection, const std::string& user,
                        const std::string& password) {
  connection.transferType = 'A';
  connection.passiveMode = 0;
  connection.greeted = 0;
  connection.replyDepth = 0;
  connection.replyText.clear();
  if (const FtpLoginResult refused = ReadGreeting(connection)) return refused;
  return UserAndPassword(connection, user, password);
}

FtpLoginResult FtpProxyLogin(SocketConnection& connection, const std::string* proxyUser,
                             const std::string& proxyPassword, const std::string* siteCommand,
                             const std::string& user, const std::string& password) {
  connection.transferType = 'A';
  connection.passiveMode = 0;
  if (const FtpLoginResult refused = ReadGreeting(connection)) return refused;
  if (proxyUser) {
    int reply = FtpCommand(connection, "USER ", *proxyUser);
    if (reply == kReplyIntermediate) reply = FtpCommand(connection, "PASS ", proxyPassword);
    if (reply != kReplyCompleted && reply != kReplyIntermediate) return kLoginRefused;
  }
  if (siteCommand) {
    const int reply = FtpCommand(connection, *siteCommand, "");
    if (reply != kReplyCompleted && reply != kReplyIntermediate) return kLoginRefused;
  }
  return UserAndPassword(connection, user, password);
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

int FtpStore(SocketConnection& connection, const std::string& storLine,
             const std::string& localPath, char type) {
  if (connection.socket == INVALID_SOCKET) return 0;
  // Too long for a command line: no data connection is opened for a STOR that cannot be sent.
  if (!MakeCommandLine(storLine, "")) {
    FtpLog(connection, "STOR line longer than 511 bytes: " + localPath);
    return 0;
  }
  // The file is opened before the server is asked to store it: a file that went away or is
  // locked must not leave an empty file on the server, reported as sent.
  const LocalFile file(FtpOpenLocalFile(connection, localPath));
  if (file.Get() == INVALID_HANDLE_VALUE) return 0;
  if (type != connection.transferType) {
    FtpCommand(connection, MakeTypeCommand(type), "");
    connection.transferType = type;
  }
  SOCKET data = INVALID_SOCKET;
  if (connection.passiveMode) {
    data = FtpOpenPassive(connection);
    if (data == INVALID_SOCKET) return 0;
    if (FtpCommand(connection, storLine, "") != kReplyPreliminary) {
      FtpCloseData(data);
      return 0;
    }
  } else {
    const SOCKET listener = FtpOpenActive(connection);
    if (listener == INVALID_SOCKET) return connection.replyCode;
    if (FtpCommand(connection, storLine, "") != kReplyPreliminary) {
      FtpCloseData(listener);
      return 0;
    }
    data = FtpAcceptData(connection, listener);
    FtpCloseData(listener);
    if (data == INVALID_SOCKET) {
      FtpLog(connection, "data connection not accepted");
      return 0;
    }
  }
  const SendOutcome outcome = FtpSendFile(connection, data, file.Get(), type == 'I');
  if (outcome == SendOutcome::kTimedOut || outcome == SendOutcome::kFailed) {
    // The server holds part of the file: whatever it answers, this store failed.
    FtpAbortData(data);
    FtpLog(connection, outcome == SendOutcome::kTimedOut ? "data connection timed out"
                                                         : "data transfer broken off");
    return 0;
  }
  FtpCloseData(data);
  return FtpReadReply(connection);
}

void FtpQuit(SocketConnection& connection) {
  FtpCommand(connection, "QUIT", "");
  connection.greeted = 0;
  connection.Close();
}

}  // namespace zorvel
