// Data connections of the FTP client. Every wait on a data socket dispatches the thread's
// messages and ends at the control connection's time-out or abort flag.
#pragma once

#include <windows.h>
#include <winsock2.h>

#include <string>

namespace zorvel {

struct FtpSession;

// A data or listening socket, closed on every way out.
class DataSocket {
 public:
  DataSocket() = default;
  explicit DataSocket(SOCKET socket) : socket_(socket) {}
  ~DataSocket() { Close(); }
  DataSocket(DataSocket&& other) noexcept;
  DataSocket& operator=(DataSocket&& other) noexcept;
  DataSocket(const DataSocket&) = delete;
  DataSocket& operator=(const DataSocket&) = delete;

  SOCKET Get() const { return socket_; }
  explicit operator bool() const { return socket_ != INVALID_SOCKET; }
  void Close();
  // Breaks a data connection off with a reset, so that the server sees a broken transfer rather
  // than the end of a (truncated) file.
  void Abort();

 private:
  SOCKET socket_ = INVALID_SOCKET;
};

// PASV and a connected data socket, or none. The data goes to the host the control
// connection is connected to, whatever address the reply names: a server must not be able to
// send our files to a third host.
DataSocket FtpOpenPassive(FtpSession& session);
// A listening socket announced by PORT, or none (replyCode then holds the class of a refused
// PORT).
DataSocket FtpOpenActive(FtpSession& session);
// The one connection the server makes to a listening socket, or none after the time-out or a
// cancel.
DataSocket FtpAcceptData(FtpSession& session, const DataSocket& listener);

// The local file of a store, opened for reading with read and write sharing; after logging
// "file open error %s %d", INVALID_HANDLE_VALUE.
HANDLE FtpOpenLocalFile(FtpSession& session, const std::string& path);

// kFailed: a read of the file or a send failed; kTimedOut: the server stopped taking data.
enum class SendOutcome { kSent, kCancelled, kTimedOut, kFailed };
// Sends the file's bytes unchanged (image or not); stops early on cancel or a failure.
SendOutcome FtpSendFile(FtpSession& session, SOCKET data, HANDLE file, bool image);

}  // namespace zorvel
