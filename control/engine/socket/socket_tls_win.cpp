// The TLS session of SocketConnection: the handshake over the socket's own waits, and the
// records that reads take from the wire.
#include <cstdio>

#include "control/engine/socket/socket_connection_win.h"
#include "control/engine/socket/tls_channel_win.h"

SocketStatus SocketConnection::StartTls(const std::string& host, std::string& why) {
  why.clear();
  if (closing_ || socket_ == INVALID_SOCKET) return kSocketUnusable;
  tls_ = std::make_unique<TlsChannel>(host);
  tlsIncoming_.clear();
  tlsClosed_ = false;
  std::string out;
  // Steps that need no new bytes are a few per handshake; a peer whose bytes keep the provider
  // going round without end is refused rather than keep the thread.
  constexpr int kMaxStepsWithoutInput = 64;
  for (int stepsWithoutInput = 0;;) {
    const TlsChannel::Step step = tls_->Advance(tlsIncoming_, out);
    if (step == TlsChannel::Step::kFailed) {
      char text[64];
      std::snprintf(text, sizeof text, "the TLS handshake failed (0x%08lX)",
                    static_cast<unsigned long>(tls_->Error()));
      why = text;
      return SocketStatus::ProviderError(tls_->Error());
    }
    if (!out.empty()) {
      if (const SocketStatus sent = SendRaw(out.data(), static_cast<int>(out.size()));
          sent.Failed()) {
        return sent;
      }
    }
    if (step == TlsChannel::Step::kDone) break;
    if (step == TlsChannel::Step::kNeedInput) {
      if (const SocketStatus ended = AwaitHandshakeBytes(); ended.Failed()) return ended;
    } else if (abortState_ != kNotAborted) {
      return kWaitEnded;
    } else if (++stepsWithoutInput == kMaxStepsWithoutInput) {
      why = "the TLS handshake did not end";
      return SocketStatus::ProviderError(SEC_E_INTERNAL_ERROR);
    }
  }
  if (const long refused = tls_->VerifyServer(why)) return SocketStatus::ProviderError(refused);
  // Records that came with the end of the handshake are the start of the stream.
  const int opened = OpenRecords();
  if (opened < 0 && opened != -WSAEWOULDBLOCK) return SocketStatus::WinSockError(-opened);
  return kSocketDone;
}

SocketStatus SocketConnection::AwaitHandshakeBytes() {
  const int received = ReceiveChunk();
  if (received > 0) return kSocketDone;
  if (received == 0) return kPeerClosed;
  if (received != -WSAEWOULDBLOCK) return SocketStatus::WinSockError(-received);
  return WaitForData();
}

int SocketConnection::TakeTlsBytes(const char* chunk, int received) {
  if (received == 0) return 0;
  // Complete records are taken as they come; a peer that keeps a record or handshake message
  // unfinished beyond any real one is not kept in memory.
  constexpr size_t kIncomingLimit = 256 * 1024;
  if (tlsIncoming_.size() + static_cast<size_t>(received) > kIncomingLimit) {
    lastError_ = WSAENOBUFS;
    return -WSAENOBUFS;
  }
  tlsIncoming_.append(chunk, static_cast<size_t>(received));
  if (!tls_->Open()) {
    bytesReceived_ += received;
    return received;
  }
  return OpenRecords();
}

int SocketConnection::OpenRecords() {
  if (tlsClosed_) return 0;
  const int32_t before = receiveBuffer_.Length();
  bool closed = false;
  if (const long failed = tls_->Decrypt(tlsIncoming_, receiveBuffer_, closed)) {
    // A record that does not open is a broken connection, never a shorter answer.
    lastError_ = failed == WSAENOBUFS ? WSAENOBUFS : WSAECONNABORTED;
    return -lastError_;
  }
  tlsClosed_ = closed;
  const int produced = receiveBuffer_.Length() - before;
  bytesReceived_ += produced;
  if (produced > 0 || closed) return produced;
  return -WSAEWOULDBLOCK;
}
