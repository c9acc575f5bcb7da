// The FTP client: operations on the control connection of a run's FtpSession, which holds the
// client's state. The control connection waits as the socket layer does (messages flow, the
// connection's time-out and abort flag end a wait); data connections are sockets of their own
// whose connect, accept and sends wait the same way, so no server can hang the control.
//
// Results are reply classes (the first digit of the code) unless stated otherwise.
#pragma once

#include <windows.h>
#include <winsock2.h>

#include <string>
#include <string_view>

namespace zorvel {

struct FtpSession;

enum FtpLoginResult : int {
  kLoggedIn = 0,
  kLoginRefused = 1,
  // The control socket refused SO_OOBINLINE.
  kSocketOptionRefused = -1,
};

// One reply (possibly of several lines); a socket-layer code when it could not be read.
int FtpReadReply(FtpSession& session);
// Sends command + argument; "PASV" only switches the connection to passive data connections.
// 0 without sending when the line would exceed 511 bytes.
int FtpCommand(FtpSession& session, std::string_view command, std::string_view argument);
// Greeting, USER and PASS.
FtpLoginResult FtpLogin(FtpSession& session, const std::string& user, const std::string& password);
// Through an FTP proxy: the proxy's own login and site command (either may be empty) first.
FtpLoginResult FtpProxyLogin(FtpSession& session, const std::string* proxyUser,
                             const std::string& proxyPassword, const std::string* siteCommand,
                             const std::string& user, const std::string& password);
// Stores one file: TYPE when it changes, the data connection, STOR, the data and the completion
// reply. The completion reply's class (kReplyCompleted when stored), 0 on a failure of this side.
int FtpStore(FtpSession& session, const std::string& storLine, const std::string& localPath,
             char type);
void FtpQuit(FtpSession& session);
// Sends a time-stamped line to the owner window.
void FtpLog(FtpSession& session, std::string_view text);

}  // namespace zorvel
