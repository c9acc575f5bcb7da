#include "control/engine/socket/socket_connection_win.h"

#include <algorithm>
#include <cstring>

#include "control/engine/socket/host_rules.h"
#include "control/engine/socket/socket_layer_win.h"
#include "control/engine/socket/tls_channel_win.h"

namespace {

constexpr long kSocketEvents = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;
constexpr int kHostEntrySize = 1024;
constexpr int kSocketBufferSize = 262144;
constexpr int32_t kLookupTimeoutMs = 10000;
constexpr DWORD kSettleAfterConnectMs = 5;
constexpr int kCloseDrainLimit = 256 * 1024;

int SetBufferSize(SOCKET socket, int option) {
  for (int size = kSocketBufferSize; size > 0; size /= 2) {
    if (setsockopt(socket, SOL_SOCKET, option, reinterpret_cast<const char*>(&size), sizeof size) ==
        0) {
      return size;
    }
  }
  return 0;
}

// Messages already queued for window in the given range; they belong to what has just ended.
void DiscardQueued(HWND window, UINT message) {
  MSG queued;
  while (PeekMessageW(&queued, window, message, message, PM_REMOVE)) {
  }
}

}  // namespace

int SetSendBufferSize(SOCKET socket) { return SetBufferSize(socket, SO_SNDBUF); }
int SetReceiveBufferSize(SOCKET socket) { return SetBufferSize(socket, SO_RCVBUF); }

SocketConnection::SocketConnection() {
  HoldSocketLayer();
  StartSocketLayer();
}

SocketConnection::~SocketConnection() {
  if (socket_ != INVALID_SOCKET) Close();
  if (lookupHandle_ != nullptr) WSACancelAsyncRequest(lookupHandle_);
  DestroySocketWindow(window_);
  ReleaseSocketLayer();
}

bool SocketConnection::EnsureWindow() {
  if (window_ == nullptr) window_ = CreateSocketWindow(this);
  return window_ != nullptr;
}

void SocketConnection::StartTimeoutTimer() {
  if (window_ != nullptr)
    SetTimer(window_, TIMEOUT_TIMER_ID, static_cast<UINT>(timeoutMs_), nullptr);
}

void SocketConnection::StopTimeoutTimer() {
  if (window_ == nullptr) return;
  KillTimer(window_, TIMEOUT_TIMER_ID);
  // A tick already queued would abort the next operation of this connection.
  DiscardQueued(window_, WM_TIMER);
}

void SocketConnection::PumpWaiting(DWORD waitStart) {
  // A quitting host ends the wait as a cancel would.
  if (PumpOneMessage()) abortState_ = kAborted;
  if (abortState_ == kNotAborted && GetTickCount() - waitStart >= static_cast<DWORD>(timeoutMs_)) {
    abortState_ = kAborted;
  }
}

bool SocketConnection::WaitForMessage(UINT id) {
  // A message of an earlier wait (the connect of a previous socket, say) must not count.
  lastMessage_ = 0;
  StartTimeoutTimer();
  const DWORD waitStart = GetTickCount();
  while (lastMessage_ != id && abortState_ == kNotAborted) PumpWaiting(waitStart);
  StopTimeoutTimer();
  if (lastMessage_ == id) return WSAGETSELECTERROR(lastEvent_) == 0;
  if (lookupHandle_ != nullptr) {
    WSACancelAsyncRequest(lookupHandle_);
    lookupHandle_ = nullptr;
  }
  return false;
}

SocketStatus SocketConnection::LookUp(const std::string& host, in_addr& resolved,
                                      bool& hasAddress) {
  hostEntry_.fill(0);
  lookupHandle_ = WSAAsyncGetHostByName(window_, WM_SOCKET_LOOKUP, host.c_str(), hostEntry_.data(),
                                        kHostEntrySize);
  if (lookupHandle_ == nullptr) return kLookupNotStarted;
  connectPhase_ = 0;
  if (!WaitForMessage(WM_SOCKET_LOOKUP)) {
    if (abortState_ != kNotAborted) return kWaitEnded;
    return SocketStatus::WinSockError(WSAGETASYNCERROR(lastEvent_));
  }
  const auto* entry = reinterpret_cast<const hostent*>(hostEntry_.data());
  resolved.s_addr = 0;
  hasAddress =
      entry->h_length >= 1 && entry->h_addr_list != nullptr && entry->h_addr_list[0] != nullptr;
  if (hasAddress) {
    std::memcpy(&resolved, entry->h_addr_list[0],
                std::min<size_t>(sizeof resolved, static_cast<size_t>(entry->h_length)));
  }
  return kSocketDone;
}

SocketStatus SocketConnection::Connect(const std::string& host, int portNumber, int seconds) {
  if (socket_ == INVALID_SOCKET) {
    socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    abortState_ = kNotAborted;
    closing_ = 0;
  }
  port_ = portNumber;
  timeoutMs_ = static_cast<int32_t>(std::clamp<int64_t>(int64_t{seconds} * 1000, 0, INT32_MAX));
  EnsureWindow();
  if (socket_ == INVALID_SOCKET || window_ == nullptr) return kSocketUnusable;

  in_addr peer{};
  if (IsIPv4Literal(host)) {
    peer.s_addr = inet_addr(host.c_str());
  } else {
    bool hasAddress = false;
    if (const SocketStatus failure = LookUp(host, peer, hasAddress); failure.Failed()) {
      return failure;
    }
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port_));
  address.sin_addr = peer;

  if (WSAAsyncSelect(socket_, window_, WM_SOCKET_EVENT, kSocketEvents) == SOCKET_ERROR) {
    lastError_ = WSAGetLastError();
    return SocketStatus::WinSockError(lastError_);
  }
  sendOffset_ = 0;
  readOffset_ = 0;
  connectPhase_ = 1;
  if (connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK) {
      lastError_ = error;
      return SocketStatus::WinSockError(error);
    }
    if (!WaitForMessage(WM_SOCKET_EVENT)) {
      if (abortState_ != kNotAborted) return kWaitEnded;
      return SocketStatus::WinSockError(WSAGETSELECTERROR(lastEvent_));
    }
  }
  SetSendBufferSize(socket_);
  SetReceiveBufferSize(socket_);
  connectPhase_ = 2;
  Sleep(kSettleAfterConnectMs);
  return kSocketDone;
}

void SocketConnection::Close() {
  closing_ = 1;
  sendOffset_ = 0;
  readOffset_ = 0;
  sendBuffer_.Empty();
  receiveBuffer_.Empty();
  if (socket_ != INVALID_SOCKET) {
    // No more notifications for this socket: a new one may get the same handle value.
    if (window_ != nullptr) WSAAsyncSelect(socket_, window_, 0, 0);
    shutdown(socket_, SD_SEND);
    // What the peer still had in flight is read away so the close stays orderly, but only so
    // much: a peer that keeps sending must not hold the window's thread here.
    char scratch[4096];
    int got = 0;
    for (int drained = 0;
         drained < kCloseDrainLimit && (got = recv(socket_, scratch, sizeof scratch, 0)) > 0;
         drained += got) {
    }
    shutdown(socket_, SD_BOTH);
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }
  if (window_ != nullptr) DiscardQueued(window_, WM_SOCKET_EVENT);
  tls_.reset();
  tlsIncoming_.clear();
  tlsClosed_ = false;
  abortState_ = kNotAborted;
}

int SocketConnection::IsPublicHost(const std::string& url) {
  const PageHost host = ClassifyPageHost(url);
  if (host.kind == PageHostKind::kOwnNetwork) return kHostOwnNetwork;
  if (host.kind == PageHostKind::kForeign) return kHostForeign;
  if (socket_ == INVALID_SOCKET) {
    socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    abortState_ = kNotAborted;
    closing_ = 0;
  }
  timeoutMs_ = kLookupTimeoutMs;
  if (!EnsureWindow()) return kHostUnresolved;
  in_addr resolved{};
  bool hasAddress = false;
  if (const SocketStatus failure = LookUp(host.name, resolved, hasAddress); failure.Failed()) {
    return failure.Number();
  }
  if (!hasAddress) return kHostUnresolved;
  const auto* bytes = reinterpret_cast<const unsigned char*>(&resolved.s_addr);
  return PublicAddressVerdict(bytes[0], bytes[1]);
}

void SocketConnection::OnSocketMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Leftovers of a closed socket, a cancelled lookup or another timer are not ours.
  if (message == WM_SOCKET_EVENT && static_cast<SOCKET>(wParam) != socket_) return;
  if (message == WM_SOCKET_LOOKUP && reinterpret_cast<HANDLE>(wParam) != lookupHandle_) return;
  if (message == WM_TIMER && wParam != TIMEOUT_TIMER_ID) return;
  lastMessage_ = message;
  lastEvent_ = static_cast<UINT>(lParam);
  switch (message) {
    case WM_TIMER:
      abortState_ = kAborted;
      if (WSAIsBlocking()) WSACancelBlockingCall();
      return;
    case WM_SOCKET_LOOKUP:
      lookupHandle_ = nullptr;
      return;
    default:
      break;
  }
  switch (WSAGETSELECTEVENT(lParam)) {
    case FD_READ: {
      CompactReceived();
      const int received = ReceiveChunk();
      if (received >= 0) lastError_ = 0;
      return;
    }
    case FD_WRITE:
      DrainSendBuffer();
      return;
    case FD_CLOSE:
      abortState_ = kPeerClosedAbort;
      return;
    default:
      return;
  }
}
