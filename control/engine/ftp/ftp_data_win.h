// Data connections of the FTP client. Every wait on a data socket dispatches the thread's
// messages and ends at the control connection's time-out or abort flag.
#pragma once

#include <windows.h>
#include <winsock2.h>

#include <string>

class SocketConnection;

namespace zorvel {

// PASV and a connected data socket, or INVALID_SOCKET. The data goes to the host the control
// connection is connected to, whatever address the reply names: a server must not be able to
// send our files to a third host.
SOCKET FtpOpenPassive(SocketConnection& connection);
// A listening socket announced by PORT, or INVALID_SOCKET (replyCode then holds the class of a
// refused PORT).
SOCKET FtpOpenActive(SocketConnection& connection);
// The one connection the server makes to a listening socket, or INVALID_SOCKET after the
// time-out or a cancel.
SOCKET FtpAcceptData(SocketConnection& connection, SOCKET listener);

enum class SendOutcome { kSent, kNotOpened, kTimedOut };
// Sends the file's bytes unchanged (image or not); stops early on cancel or a failed send.
SendOutcome FtpSendFile(SocketConnection& connection, SOCKET data, const std::string& path,
                        bool image);
void FtpCloseData(SOCKET data);

}  // namespace zorvel
