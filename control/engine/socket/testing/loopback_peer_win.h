// The far end of socket tests and benchmarks: plain blocking sockets on 127.0.0.1, served on a
// thread of their own while the thread under test pumps its messages.
#pragma once

#include <windows.h>
#include <winsock2.h>

#include <functional>
#include <string_view>
#include <thread>

// A listening socket on a free loopback port. Accepted sockets inherit receiveBufferSize when
// it is positive (a small value makes a slow reader push back early).
class LoopbackListener {
 public:
  explicit LoopbackListener(int receiveBufferSize = 0);
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  int Port() const { return port_; }
  // Blocks until a connection arrives; INVALID_SOCKET once the listener is closed.
  SOCKET Accept();
  // Whether a connection is waiting to be accepted (without accepting it).
  bool ConnectionPending() const;
  void Close();

 private:
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
};

// Accepts one connection and runs serve on it; the socket is closed when serve returns.
class LoopbackPeer {
 public:
  explicit LoopbackPeer(std::function<void(SOCKET)> serve, int receiveBufferSize = 0);
  ~LoopbackPeer();
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  int Port() const { return listener_.Port(); }

 private:
  LoopbackListener listener_;
  std::thread thread_;
};

// Sends all of bytes on a blocking socket; false when the connection failed.
bool SendBytes(SOCKET socket, std::string_view bytes);

// Sends `head`, then `filler` again and again (pausing `pauseMs` after each) until the peer
// goes or `forMs` have passed: a server that never stops, within a test's bounds.
void SendEndlessly(SOCKET socket, std::string_view head, std::string_view filler, DWORD pauseMs,
                   DWORD forMs);

// Reads until the peer closes; the number of bytes received.
long long ReceiveUntilClosed(SOCKET socket);

// A loopback port on which nothing listens (bound, then released).
int UnusedLoopbackPort();
