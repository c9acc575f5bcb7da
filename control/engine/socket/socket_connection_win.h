// One TCP connection of the control, driven by WinSock messages to a hidden window of its own.
//
// Every operation that has to wait runs a small message loop on the calling thread: the host's
// window stays alive, and the loop ends when the awaited socket message arrives, when the
// time-out timer fires, or when someone (the control's Cancel) calls Abort.
//
// Results: a SocketStatus, which keeps our own SocketResult and the system's error apart.
#pragma once

#include <windows.h>
#include <winsock2.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "control/engine/socket/byte_buffer.h"

class TlsChannel;

enum SocketResult : int {
  kSocketDone = 0,
  // No socket or window, or the connection is closing.
  kSocketUnusable = -1,
  // The wait ended by time-out or cancel.
  kWaitEnded = -2,
  // The peer closed, or nothing is left to read.
  kPeerClosed = -3,
  // Connect: the lookup of the host could not start.
  kLookupNotStarted = -3,
};

// The outcome of an operation on the connection: done, a SocketResult of our own, the WinSock
// error that ended it, or the security provider's code of a failed TLS handshake.
class SocketStatus {
 public:
  constexpr SocketStatus(SocketResult result = kSocketDone) : result_(result) {}
  static constexpr SocketStatus WinSockError(int error) { return SocketStatus(kSocketDone, error); }
  static constexpr SocketStatus ProviderError(long code) {
    return SocketStatus(kSocketDone, static_cast<int>(code));
  }

  constexpr bool Failed() const { return result_ != kSocketDone || systemError_ != 0; }
  constexpr SocketResult Result() const { return result_; }
  constexpr int SystemError() const { return systemError_; }
  // The one number logs and messages show: the system's error (positive for WinSock, negative
  // for the provider) where it gave one, else our result.
  constexpr int Number() const { return systemError_ != 0 ? systemError_ : int{result_}; }

 private:
  constexpr SocketStatus(SocketResult result, int systemError)
      : result_(result), systemError_(systemError) {}

  SocketResult result_ = kSocketDone;
  int systemError_ = 0;
};

// What IsPublicHost found a page's host to be; any other value is the failed lookup's result.
enum HostVerdict : int {
  kHostOwnNetwork = 0,
  kHostForeign = 1,
  // A name that resolved to no address, or no window to wait for the lookup on.
  kHostUnresolved = -1,
};

// Why a wait of the connection ends early: the time-out or a cancel aborts it, and the peer's
// close ends what waits for more bytes.
enum AbortState : int32_t {
  kNotAborted = 0,
  kAborted = 1,
  kPeerClosedAbort = -3,
};

constexpr UINT WM_SOCKET_LOOKUP = WM_USER + 101;
constexpr UINT WM_SOCKET_EVENT = WM_USER + 102;
constexpr UINT_PTR TIMEOUT_TIMER_ID = 10;

class SocketConnection {
 public:
  SocketConnection();
  ~SocketConnection();
  SocketConnection(const SocketConnection&) = delete;
  SocketConnection& operator=(const SocketConnection&) = delete;

  SocketStatus Connect(const std::string& host, int port, int seconds);
  // Opens a TLS session over the connected socket and checks that the server's certificate is
  // trusted for `host`; from then on sends and reads carry the session's records. A failed
  // handshake or a refused certificate is the provider's code, with the reason in `why`.
  SocketStatus StartTls(const std::string& host, std::string& why);
  // Done once every byte was handed to the socket; what it could not take at once is kept in
  // the send buffer and drained by FD_WRITE while this waits.
  SocketStatus SendAll(const char* data, int length);
  // Whether the last SendAll had to wait for the socket to take its bytes.
  bool LastSendWaited() const { return lastSendWaited_; }
  // One line without its terminator, cut to capacity - 1 bytes.
  SocketStatus ReadLine(std::string& line, int capacity);
  // All unread bytes (waiting for some when none are buffered), or null with status set.
  std::unique_ptr<char[]> ReadAvailable(int& length, SocketStatus& status);
  void Close();
  bool WaitForMessage(UINT id);
  // A HostVerdict, else the lookup's failure (see ClassifyPageHost).
  int IsPublicHost(const std::string& url);
  void OnSocketMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // The time-out timer of a wait; the FTP engine arms it around its blocking data-socket calls.
  void StartTimeoutTimer();
  void StopTimeoutTimer();

  // The time-out of every wait, which the FTP engine's data sockets keep as well.
  int32_t TimeoutMs() const { return timeoutMs_; }

  // Ends the wait under way, and any to come until the connection is reused: the control's Cancel.
  void Abort() { abortState_ = kAborted; }
  // An AbortState: why the last wait ended early, if it did.
  int32_t AbortState() const { return abortState_; }
  // The FTP engine sets options on the control socket and reads its addresses.
  SOCKET Socket() const { return socket_; }
  HWND Window() const { return window_; }
  // How far the last Connect came: 0 looking up, 1 connecting, 2 connected.
  int32_t ConnectPhase() const { return connectPhase_; }
  // The bytes SendAll could not hand over at once, drained by FD_WRITE.
  const ByteBuffer& SendBuffer() const { return sendBuffer_; }

 private:
  bool EnsureWindow();
  // Resolves host into a network-order address: done, kLookupNotStarted, kWaitEnded, or the
  // WinSock error the lookup reported.
  SocketStatus LookUp(const std::string& host, in_addr& resolved, bool& hasAddress);
  // Pumps one message and turns an overdue wait into a time-out even when WM_TIMER is starved
  // by a flood of other messages or never reaches an untabled window.
  void PumpWaiting(DWORD waitStart);
  // Dispatches one pending message between reads that found data at once; kWaitEnded when a
  // cancel (or a quitting host) has set abortState_, else kSocketDone.
  SocketResult KeepWindowAlive();
  // Waits until more bytes have been received or the wait is aborted: kSocketDone, kWaitEnded or
  // kPeerClosed.
  SocketResult WaitForData();
  // Takes what the socket holds into receiveBuffer_: >0 bytes, 0 peer closed, <0 -error.
  int ReceiveChunk();
  void CompactReceived();
  void DrainSendBuffer();
  // Queues bytes behind what sendBuffer_ still holds and waits until FD_WRITE has drained it all.
  SocketStatus SendBuffered(const char* data, int length);
  // SendAll for the bytes as they go on the wire.
  SocketStatus SendRaw(const char* data, int length);
  // Waits for more bytes during the handshake.
  SocketStatus AwaitHandshakeBytes();
  // Files what recv took while a TLS session runs: during the handshake the raw bytes count,
  // afterwards the bytes of the records opened (ReceiveChunk's results).
  int TakeTlsBytes(const char* chunk, int received);
  int OpenRecords();

  SOCKET socket_ = INVALID_SOCKET;
  HWND window_ = nullptr;
  int32_t connectPhase_ = 0;
  ByteBuffer sendBuffer_;
  int32_t abortState_ = kNotAborted;
  HANDLE lookupHandle_ = nullptr;
  UINT lastMessage_ = 0;
  UINT lastEvent_ = 0;
  int32_t lastError_ = 0;
  int32_t timeoutMs_ = 0;
  int32_t port_ = 0;
  int32_t sendOffset_ = 0;
  ByteBuffer receiveBuffer_;
  int32_t readOffset_ = 0;
  int32_t closing_ = 0;
  // Set when FD_WRITE meets a hard error while draining sendBuffer_; reported by SendAll.
  int32_t pendingSendError_ = 0;
  bool lastSendWaited_ = false;
  // Counts every received byte, so a wait sees new data even when compaction shrank the buffer.
  int64_t bytesReceived_ = 0;
  // Result of a lookup; WinSock writes a hostent and its pointers here.
  alignas(8) std::array<char, 1025> hostEntry_{};
  std::unique_ptr<TlsChannel> tls_;
  // Received records not opened yet: the end of the handshake or the start of a record.
  std::string tlsIncoming_;
  bool tlsClosed_ = false;
};

// Socket buffer sizes: 256 KB, halved while the stack refuses; the size set or 0.
int SetSendBufferSize(SOCKET socket);
int SetReceiveBufferSize(SOCKET socket);
