// Data transfer of SocketConnection: sends that wait for FD_WRITE, reads that wait for FD_READ.
#include <cstring>
#include <new>

#include "control/engine/socket/line_extraction.h"
#include "control/engine/socket/socket_connection_win.h"
#include "control/engine/socket/socket_layer_win.h"
#include "control/engine/socket/tls_channel_win.h"

namespace {
constexpr int kReceiveChunk = 16383;
// Handed-out bytes are only removed beyond this, so a long reply is not moved after every line.
constexpr int32_t kCompactionThreshold = 4096;
}  // namespace

void SocketConnection::CompactReceived() {
  if (readOffset_ > kCompactionThreshold) {
    receiveBuffer_.Consume(readOffset_);
    readOffset_ = 0;
  }
}

int SocketConnection::ReceiveChunk() {
  char chunk[kReceiveChunk];
  const int received = recv(socket_, chunk, sizeof chunk, 0);
  if (received == SOCKET_ERROR) {
    const int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK) lastError_ = error;
    return -error;
  }
  if (tls_) return TakeTlsBytes(chunk, received);
  // Bytes that cannot be kept are a failed read, never a shorter answer.
  if (!receiveBuffer_.Append(chunk, received)) {
    lastError_ = WSAENOBUFS;
    return -WSAENOBUFS;
  }
  bytesReceived_ += received;
  return received;
}

SocketResult SocketConnection::KeepWindowAlive() {
  // A peer that keeps sending never lets a read wait: the thread's messages (the Cancel click
  // among them) are dispatched here instead.
  if (DispatchPendingMessage()) abortState_ = kAborted;
  if (abortState_ == kNotAborted) return kSocketDone;
  return abortState_ == kPeerClosedAbort ? kSocketDone : kWaitEnded;
}

SocketResult SocketConnection::WaitForData() {
  const int64_t before = bytesReceived_;
  StartTimeoutTimer();
  const DWORD waitStart = GetTickCount();
  while (bytesReceived_ == before && abortState_ == kNotAborted) PumpWaiting(waitStart);
  StopTimeoutTimer();
  if (bytesReceived_ != before) return kSocketDone;
  return abortState_ == kPeerClosedAbort ? kPeerClosed : kWaitEnded;
}

void SocketConnection::DrainSendBuffer() {
  while (sendBuffer_.Length() - sendOffset_ > 0) {
    const int sent =
        send(socket_, sendBuffer_.Data() + sendOffset_, sendBuffer_.Length() - sendOffset_, 0);
    if (sent == SOCKET_ERROR) {
      const int error = WSAGetLastError();
      lastError_ = error;
      if (error == WSAEWOULDBLOCK) return;  // the next FD_WRITE goes on
      // The bytes are lost; the SendAll that queued them must not report success.
      pendingSendError_ = error;
      break;
    }
    sendOffset_ += sent;
  }
  sendBuffer_.Empty();
  sendOffset_ = 0;
}

SocketStatus SocketConnection::SendBuffered(const char* data, int length) {
  lastSendWaited_ = true;
  if (length > 0) {
    // Nothing is half-queued.
    if (!sendBuffer_.Append(data, length)) return SocketStatus::WinSockError(WSAENOBUFS);
  }
  StartTimeoutTimer();
  const DWORD waitStart = GetTickCount();
  while (sendBuffer_.Length() > 0 && abortState_ == kNotAborted) PumpWaiting(waitStart);
  StopTimeoutTimer();
  if (pendingSendError_ != 0) {
    const int error = pendingSendError_;
    pendingSendError_ = 0;
    return SocketStatus::WinSockError(error);
  }
  if (sendBuffer_.Length() > 0) return kWaitEnded;
  sendOffset_ = 0;
  return kSocketDone;
}

SocketStatus SocketConnection::SendAll(const char* data, int length) {
  if (closing_ || socket_ == INVALID_SOCKET) return kSocketUnusable;
  if (tls_ && tls_->Open()) {
    std::string records;
    if (tls_->Encrypt(data, length, records) != 0) {
      lastError_ = WSAECONNABORTED;
      return SocketStatus::WinSockError(lastError_);
    }
    return SendRaw(records.data(), static_cast<int>(records.size()));
  }
  return SendRaw(data, length);
}

SocketStatus SocketConnection::SendRaw(const char* data, int length) {
  if (closing_ || socket_ == INVALID_SOCKET) return kSocketUnusable;
  lastSendWaited_ = false;
  // Bytes still queued from an earlier send go first; sending past them would reorder the stream.
  if (sendBuffer_.Length() > sendOffset_) return SendBuffered(data, length);
  int sent = 0;
  while (sent < length) {
    const int taken = send(socket_, data + sent, length - sent, 0);
    if (taken == SOCKET_ERROR) {
      const int error = WSAGetLastError();
      if (error != WSAEWOULDBLOCK) {
        lastError_ = error;
        return SocketStatus::WinSockError(error);
      }
      return SendBuffered(data + sent, length - sent);
    }
    sent += taken;
  }
  return kSocketDone;
}

SocketStatus SocketConnection::ReadLine(std::string& line, int capacity) {
  line.clear();
  if (closing_) return kSocketUnusable;
  std::optional<std::string> found = ExtractLine(receiveBuffer_, readOffset_);
  if (!found) {
    if (socket_ == INVALID_SOCKET) return kSocketUnusable;
    CompactReceived();
    while (!found) {
      const int received = ReceiveChunk();
      if (received < 0) {
        if (-received != WSAEWOULDBLOCK) return SocketStatus::WinSockError(-received);
        if (const SocketResult ended = WaitForData(); ended != kSocketDone) return ended;
      } else if (received == 0) {
        return kPeerClosed;  // the peer closed before the line ended
      }
      if (receiveBuffer_.Length() <= readOffset_) return kPeerClosed;
      found = ExtractLine(receiveBuffer_, readOffset_);
      if (!found) {
        if (receiveBuffer_.Length() - readOffset_ > kLineLimit) {
          return SocketStatus::WinSockError(kLineTooLong);
        }
        if (const SocketResult ended = KeepWindowAlive(); ended != kSocketDone) return ended;
      }
    }
  }
  line = CutToCapacity(std::move(*found), capacity);
  return kSocketDone;
}

std::unique_ptr<char[]> SocketConnection::ReadAvailable(int& length, SocketStatus& status) {
  length = 0;
  status = kSocketDone;
  if (receiveBuffer_.Length() <= readOffset_) {
    if (closing_ || socket_ == INVALID_SOCKET) {
      status = kSocketUnusable;
      return nullptr;
    }
    CompactReceived();
    const int received = ReceiveChunk();
    if (received < 0) {
      if (-received != WSAEWOULDBLOCK) {
        status = SocketStatus::WinSockError(-received);
        return nullptr;
      }
      if (const SocketResult ended = WaitForData(); ended != kSocketDone) {
        status = ended;
        return nullptr;
      }
    }
    if (receiveBuffer_.Length() <= readOffset_) {
      status = kPeerClosed;
      return nullptr;
    }
  }
  if (const SocketResult ended = KeepWindowAlive(); ended != kSocketDone) {
    status = ended;
    return nullptr;
  }
  const int32_t unread = receiveBuffer_.Length() - readOffset_;
  std::unique_ptr<char[]> block(new (std::nothrow) char[static_cast<size_t>(unread) + 1]);
  if (!block) {
    status = SocketStatus::WinSockError(WSAENOBUFS);  // the bytes stay buffered for the next call
    return nullptr;
  }
  std::memcpy(block.get(), receiveBuffer_.Data() + readOffset_, static_cast<size_t>(unread));
  block[unread] = '\0';
  length = unread;
  receiveBuffer_.Empty();
  readOffset_ = 0;
  return block;
}
