// What one FTP run's client keeps: the control connection it talks on, where its lines and
// notices go, and what the server said last. The run owns it; the socket layer knows nothing of
// FTP.
#pragma once

#include <windows.h>

#include <cstdint>

#include "control/engine/ftp/ftp_reply.h"

class SocketConnection;

namespace zorvel {

class ControlWindow;

struct FtpSession {
  explicit FtpSession(SocketConnection& control) : connection(control) {}

  SocketConnection& connection;
  // The control's window: it logs the client's lines and moves the bar by its notices.
  ControlWindow* window = nullptr;
  int64_t bytesSent = 0;  // a run's files may together pass 2 GB
  FtpReplyState reply;
  char transferType = 'A';
  bool passiveMode = false;
};

}  // namespace zorvel
