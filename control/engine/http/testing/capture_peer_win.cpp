#include "control/engine/http/testing/capture_peer_win.h"

#include <cstdlib>

namespace zorvel::testing {
namespace {

// The announced body length, or 0.
long AnnouncedLength(const std::string& header) {
  const size_t at = header.find("\r\nContent-Length: ");
  return at == std::string::npos ? 0 : std::atol(header.c_str() + at + 18);
}

}  // namespace

CapturePeer::CapturePeer(PeerScript script)
    : script_(std::move(script)),
      peer_(std::make_unique<LoopbackPeer>([this](SOCKET socket) { Serve(socket); })) {}

std::string CapturePeer::Request() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return request_;
}

void CapturePeer::Serve(SOCKET socket) {
  std::string received;
  size_t headerEnd = std::string::npos;
  long wanted = -1;
  bool stalled = false;
  char chunk[65536];
  while (wanted < 0 || static_cast<long>(received.size()) < wanted) {
    if (headerEnd != std::string::npos && !stalled && script_.stallMs > 0) {
      Sleep(static_cast<DWORD>(script_.stallMs));
      stalled = true;
    }
    const int got = recv(socket, chunk, sizeof chunk, 0);
    if (got <= 0) break;
    received.append(chunk, static_cast<size_t>(got));
    if (headerEnd == std::string::npos) {
      headerEnd = received.find("\r\n\r\n");
      if (headerEnd != std::string::npos) {
        headerEnd += 4;
        wanted = static_cast<long>(headerEnd) + AnnouncedLength(received.substr(0, headerEnd));
      }
    }
    if (headerEnd != std::string::npos && script_.closeAfterBodyBytes >= 0 &&
        static_cast<long>(received.size() - headerEnd) >= script_.closeAfterBodyBytes) {
      std::lock_guard<std::mutex> lock(mutex_);
      request_ = received;
      return;
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    request_ = received;
  }
  if (script_.silent) {
    ReceiveUntilClosed(socket);
    return;
  }
  SendBytes(socket, script_.answer);
  if (!script_.closeAfterAnswer) ReceiveUntilClosed(socket);
}

}  // namespace zorvel::testing
