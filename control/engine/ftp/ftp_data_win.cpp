#include "control/engine/ftp/ftp_data_win.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "control/engine/ftp/ftp_client_win.h"
#include "control/engine/ftp/ftp_reply.h"
#include "control/engine/ftp/ftp_session_win.h"
#include "control/engine/ftp/ftp_store_rules.h"
#include "control/engine/socket/socket_connection_win.h"
#include "control/engine/socket/socket_layer_win.h"
#include "control/window/control_window_win.h"

namespace zorvel {
namespace {

constexpr int kReadBlock = 8760;
// Blocks read and handed to the socket at once (about 2 MB): under Wine every read and every
// send call costs a round trip to the wine server, whatever its size.
constexpr int kBlocksPerWrite = 240;
constexpr int kDataSendBuffer = 4 * 1024 * 1024;
constexpr long kPollMicroseconds = 10000;
constexpr int kMessagesPerPoll = 32;
constexpr DWORD kSettleAfterConnectMs = 5;

enum class Ready { kRead, kWrite };

void DispatchPending() {
  MSG message;
  for (int i = 0; i < kMessagesPerPoll && PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); ++i) {
    DispatchPendingMessage();
  }
}

// 0 when the socket is ready (or has failed: the next call reports it), kWaitEnded after the
// time-out or a cancel, else a WinSock error.
int WaitDataSocket(FtpSession& session, SOCKET socket, Ready ready) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (session.connection.AbortState() != kNotAborted) return kWaitEnded;
    fd_set wanted, failed;
    FD_ZERO(&wanted);
    FD_ZERO(&failed);
    FD_SET(socket, &wanted);
    FD_SET(socket, &failed);
    timeval poll{0, kPollMicroseconds};
    const int count = select(0, ready == Ready::kRead ? &wanted : nullptr,
                             ready == Ready::kWrite ? &wanted : nullptr, &failed, &poll);
    if (count == SOCKET_ERROR) return WSAGetLastError();
    if (count > 0) return 0;
    DispatchPending();
    if (GetTickCount() - start >= static_cast<DWORD>(session.connection.TimeoutMs()))
      return kWaitEnded;
  }
}

bool MakeNonBlocking(SOCKET socket) {
  u_long on = 1;
  return ioctlsocket(socket, FIONBIO, &on) == 0;
}

void SetBufferSizes(SOCKET socket) {
  SetSendBufferSize(socket);
  SetReceiveBufferSize(socket);
  // A file goes out in large writes: the data connection may hold several of them, so that a
  // busy receiver finds the next one waiting. Without it the enlarged buffer above stays.
  int size = kDataSendBuffer;
  setsockopt(socket, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&size), sizeof size);
}

// One piece: the bytes the socket took, or 0 or less when the send failed or its wait ended.
int SendPiece(FtpSession& session, SOCKET socket, const char* bytes, int length) {
  for (;;) {
    const int sent = send(socket, bytes, length, 0);
    if (sent != SOCKET_ERROR) return sent;
    const int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK) return -error;
    if (const int ended = WaitDataSocket(session, socket, Ready::kWrite)) {
      return ended < 0 ? ended : -ended;
    }
  }
}

int32_t MsOfDay() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return ((now.wHour * 60 + now.wMinute) * 60 + now.wSecond) * 1000 + now.wMilliseconds;
}

}  // namespace

DataSocket FtpOpenPassive(FtpSession& session) {
  const std::string line = "PASV\r\n";
  session.connection.SendAll(line.data(), static_cast<int>(line.size()));
  FtpLog(session, line);
  if (FtpReadReply(session) != kReplyCompleted) return {};
  const std::optional<PassiveTarget> target = ParsePassiveReply(session.reply.replyText);
  if (!target) return {};
  sockaddr_in peer{};
  int peerLength = sizeof peer;
  if (getpeername(session.connection.Socket(), reinterpret_cast<sockaddr*>(&peer), &peerLength) !=
      0) {
    return {};
  }
  if (inet_addr(target->host.c_str()) != peer.sin_addr.s_addr) {
    FtpLog(session, "PASV names " + target->host + "; connecting to the server's address");
  }
  peer.sin_port = htons(static_cast<u_short>(target->port));
  DataSocket data(::socket(AF_INET, SOCK_STREAM, 0));
  if (!data) return {};
  bool connected = MakeNonBlocking(data.Get());
  if (connected &&
      connect(data.Get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
    connected = WSAGetLastError() == WSAEWOULDBLOCK &&
                WaitDataSocket(session, data.Get(), Ready::kWrite) == 0;
    int error = 0;
    int errorLength = sizeof error;
    if (connected) {
      getsockopt(data.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &errorLength);
      connected = error == 0;
    }
  }
  SetBufferSizes(data.Get());
  if (!connected) return {};
  Sleep(kSettleAfterConnectMs);
  return data;
}

DataSocket FtpOpenActive(FtpSession& session) {
  DataSocket listener(::socket(AF_INET, SOCK_STREAM, 0));
  if (!listener) return {};
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = INADDR_ANY;
  address.sin_port = 0;
  int length = sizeof address;
  sockaddr_in local{};
  int localLength = sizeof local;
  const bool listening =
      bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
      getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
      listen(listener.Get(), 1) == 0 && MakeNonBlocking(listener.Get()) &&
      getsockname(session.connection.Socket(), reinterpret_cast<sockaddr*>(&local), &localLength) ==
          0;
  if (!listening) return {};
  const auto* host = reinterpret_cast<const unsigned char*>(&local.sin_addr.s_addr);
  const unsigned port = ntohs(address.sin_port);
  char argument[64];
  std::snprintf(argument, sizeof argument, "%d,%d,%d,%d,%u,%u", host[0], host[1], host[2], host[3],
                port >> 8, port & 0xff);
  const int reply = FtpCommand(session, "PORT ", argument);
  if (reply != kReplyCompleted) {
    session.reply.replyCode = reply;
    return {};
  }
  SetBufferSizes(listener.Get());
  return listener;
}

DataSocket FtpAcceptData(FtpSession& session, const DataSocket& listener) {
  if (WaitDataSocket(session, listener.Get(), Ready::kRead) != 0) return {};
  DataSocket data(accept(listener.Get(), nullptr, nullptr));
  if (data && !MakeNonBlocking(data.Get())) return {};
  return data;
}

HANDLE FtpOpenLocalFile(FtpSession& session, const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    char text[4096 + 64];
    std::snprintf(text, sizeof text, "file open error %s %lu", path.c_str(), GetLastError());
    FtpLog(session, text);
  }
  return file;
}

SendOutcome FtpSendFile(FtpSession& session, SOCKET data, HANDLE file, bool /*image*/) {
  const int32_t start = MsOfDay();
  int64_t sent = 0;
  SendOutcome outcome = SendOutcome::kSent;
  std::vector<char> blocks(kReadBlock * kBlocksPerWrite);
  // A failed send is the end of this store: a time-out means the server stopped reading (its
  // completion reply would never come either), anything else a broken connection.
  auto sendFailed = [&](int result) {
    if (session.connection.AbortState() != kNotAborted) return SendOutcome::kCancelled;
    if (result == kWaitEnded) return SendOutcome::kTimedOut;
    char text[64];
    std::snprintf(text, sizeof text, "data send error %d", -result);
    FtpLog(session, text);
    return SendOutcome::kFailed;
  };
  // One block that went: its progress notice, and the look at the abort flag.
  auto accountBlock = [&](int length, bool moreFollow) {
    sent += length;
    session.bytesSent += length;
    if (session.window) {
      // The notice carries a 32-bit count; the list keeps the total within it.
      const int64_t notified = std::min<int64_t>(session.bytesSent, INT32_MAX);
      session.window->NoteUploadProgress(static_cast<long>(notified), moreFollow);
    }
    if (session.connection.AbortState() != kNotAborted) outcome = SendOutcome::kCancelled;
    return session.connection.AbortState() == kNotAborted;
  };
  // The file is read a write's worth at a time and handed to the socket in as few calls as it
  // takes (each read and each send is a call into the system); then every block of it is
  // accounted as if it had gone alone. Only the end of the file ends the data; a failed read (a
  // locked range, a share that went away) ends the store as a failure.
  for (bool going = true; going;) {
    DWORD read = 0;
    if (!ReadFile(file, blocks.data(), static_cast<DWORD>(blocks.size()), &read, nullptr)) {
      char text[64];
      std::snprintf(text, sizeof text, "file read error %lu", GetLastError());
      FtpLog(session, text);
      outcome = SendOutcome::kFailed;
      break;
    }
    if (read == 0) break;
    for (DWORD done = 0; done < read;) {
      const int taken =
          SendPiece(session, data, blocks.data() + done, static_cast<int>(read - done));
      if (taken <= 0) {
        outcome = sendFailed(taken);
        going = false;
        break;
      }
      done += static_cast<DWORD>(taken);
    }
    for (DWORD at = 0; going && at < read; at += kReadBlock) {
      const DWORD length = std::min<DWORD>(kReadBlock, read - at);
      going = accountBlock(static_cast<int>(length), at + length < read);
    }
  }
  FtpLog(session, MakeRateLine(sent, TransferMs(start, MsOfDay())));
  return outcome;
}

DataSocket::DataSocket(DataSocket&& other) noexcept
    : socket_(std::exchange(other.socket_, INVALID_SOCKET)) {}

DataSocket& DataSocket::operator=(DataSocket&& other) noexcept {
  if (this != &other) {
    Close();
    socket_ = std::exchange(other.socket_, INVALID_SOCKET);
  }
  return *this;
}

void DataSocket::Close() {
  if (socket_ == INVALID_SOCKET) return;
  closesocket(socket_);
  socket_ = INVALID_SOCKET;
}

void DataSocket::Abort() {
  if (socket_ == INVALID_SOCKET) return;
  const linger reset{1, 0};
  setsockopt(socket_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof reset);
  Close();
}

}  // namespace zorvel
