#include "control/engine/socket/testing/loopback_peer_win.h"

namespace {

// The peers need WinSock of their own: the layer under test sets it up only for its connections
// and undoes it when they are gone.
struct WinsockStartup {
  WinsockStartup() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~WinsockStartup() { WSACleanup(); }
} winsockStartup;

sockaddr_in LoopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int BoundPort(SOCKET socket) {
  sockaddr_in bound{};
  int size = sizeof bound;
  getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &size);
  return ntohs(bound.sin_port);
}

}  // namespace

LoopbackListener::LoopbackListener(int receiveBufferSize) {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  if (receiveBufferSize > 0) {
    setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBufferSize),
               sizeof receiveBufferSize);
  }
  const sockaddr_in address = LoopbackAddress(0);
  bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  listen(listener_, 32);
  port_ = BoundPort(listener_);
}

LoopbackListener::~LoopbackListener() { Close(); }

SOCKET LoopbackListener::Accept() { return accept(listener_, nullptr, nullptr); }

bool LoopbackListener::ConnectionPending() const {
  fd_set ready;
  FD_ZERO(&ready);
  FD_SET(listener_, &ready);
  timeval now{0, 0};
  return select(0, &ready, nullptr, nullptr, &now) > 0;
}

void LoopbackListener::Close() {
  if (listener_ == INVALID_SOCKET) return;
  closesocket(listener_);
  listener_ = INVALID_SOCKET;
}

LoopbackPeer::LoopbackPeer(std::function<void(SOCKET)> serve, int receiveBufferSize)
    : listener_(receiveBufferSize), thread_([this, serve = std::move(serve)] {
        const SOCKET connection = listener_.Accept();
        if (connection == INVALID_SOCKET) return;
        serve(connection);
        closesocket(connection);
      }) {}

LoopbackPeer::~LoopbackPeer() {
  // A peer whose client never came must not keep its thread in accept.
  listener_.Close();
  thread_.join();
}

bool SendBytes(SOCKET socket, std::string_view bytes) {
  while (!bytes.empty()) {
    const int sent = send(socket, bytes.data(), static_cast<int>(bytes.size()), 0);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

void SendEndlessly(SOCKET socket, std::string_view head, std::string_view filler, DWORD pauseMs,
                   DWORD forMs) {
  if (!SendBytes(socket, head)) return;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < forMs && SendBytes(socket, filler)) {
    if (pauseMs) Sleep(pauseMs);
  }
}

long long ReceiveUntilClosed(SOCKET socket) {
  static thread_local char chunk[65536];
  long long total = 0;
  for (int received; (received = recv(socket, chunk, sizeof chunk, 0)) > 0;) total += received;
  return total;
}

int UnusedLoopbackPort() {
  const SOCKET probe = socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in address = LoopbackAddress(0);
  bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  const int port = BoundPort(probe);
  closesocket(probe);
  return port;
}
