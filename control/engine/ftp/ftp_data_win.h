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

// The local file of a store, opened for reading with read and write sharing; after logging
// "file open error %s %d", INVALID_HANDLE_VALUE.
HANDLE FtpOpenLocalFile(SocketConnection& connection, const std::string& path);

// kFailed: a read of the file or a send failed; kTimedOut: the server stopped taking data.
enum class SendOutcome { kSent, kCancelled, kTimedOut, kFailed };
// Sends the file's bytes unchanged (image or not); stops early on cancel or a failure.
SendOutcome FtpSendFile(SocketConnection& connection, SOCKET data, HANDLE file, bool image);
void FtpCloseData(SOCKET data);
// Breaks a data connection off with a reset, so that the server sees a broken transfer rather
// than the end of a (truncated) file.
void FtpAbortData(SOCKET data);

}  // namespace zorvel
