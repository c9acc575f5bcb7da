#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "control/engine/socket/socket_connection_win.h"
#include "control/engine/socket/socket_layer_win.h"
#include "control/engine/socket/testing/loopback_peer_win.h"

namespace {

class SocketConnectionTest : public ::testing::Test {
 protected:
  // The tests' raw sockets need WinSock between the connections.
  static void SetUpTestSuite() {
    HoldSocketLayer();
    StartSocketLayer();
  }
  static void TearDownTestSuite() { ReleaseSocketLayer(); }
};

void StaySilent(SOCKET peer) { ReceiveUntilClosed(peer); }

// Milliseconds an operation took.
template <typename Operation>
DWORD Timed(Operation operation) {
  const DWORD start = GetTickCount();
  operation();
  return GetTickCount() - start;
}

// A reference the abort helpers below can reach from a timer procedure or window procedure.
SocketConnection* cancelTarget = nullptr;

void CALLBACK CancelFromTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  cancelTarget->Abort();
}

constexpr UINT WM_TEST_CANCEL = WM_APP + 7;

LRESULT CALLBACK CancelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TEST_CANCEL) {
    cancelTarget->Abort();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Stands in for the control's window, whose Cancel runs re-entrantly during a wait.
HWND CreateCancelWindow() {
  static const bool registered = [] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CancelWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SocketTestCancel";
    return RegisterClassW(&windowClass) != 0;
  }();
  EXPECT_TRUE(registered);
  return CreateWindowW(L"SocketTestCancel", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                       GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

TEST_F(SocketConnectionTest, ExchangesLinesWithLiteralAndLookedUpHosts) {
  for (const char* host : {"127.0.0.1", "localhost"}) {
    SCOPED_TRACE(host);
    LoopbackPeer peer([](SOCKET socket) {
      char request[64] = {};
      recv(socket, request, sizeof request - 1, 0);
      SendBytes(socket, std::string("echo ") + request);
      SendBytes(socket, "crlf\r\nlf only\nlone\rcr\r\n" + std::string(10000, 'x') + "\r\nafter\n");
      ReceiveUntilClosed(socket);
    });
    SocketConnection connection;
    ASSERT_EQ(connection.Connect(host, peer.Port(), 2).Number(), 0);
    EXPECT_EQ(connection.ConnectPhase(), 2);
    EXPECT_EQ(connection.SendAll("hello\r\n", 7).Number(), 0);
    std::string line;
    EXPECT_EQ(connection.ReadLine(line, 8192).Number(), 0);
    EXPECT_EQ(line, "echo hello");
    EXPECT_EQ(connection.ReadLine(line, 8192).Number(), 0);
    EXPECT_EQ(line, "crlf");
    EXPECT_EQ(connection.ReadLine(line, 8192).Number(), 0);
    EXPECT_EQ(line, "lf only");
    EXPECT_EQ(connection.ReadLine(line, 8192).Number(), 0);
    EXPECT_EQ(line, "lone\rcr");
    EXPECT_EQ(connection.ReadLine(line, 8192).Number(), 0);
    EXPECT_EQ(line, std::string(8191, 'x'));
    EXPECT_EQ(connection.ReadLine(line, 8192).Number(), 0);
    EXPECT_EQ(line, "after");
  }
}

TEST_F(SocketConnectionTest, RefusedConnectionReturnsWinSockError) {
  SocketConnection connection;
  EXPECT_EQ(connection.Connect("127.0.0.1", UnusedLoopbackPort(), 2).Number(), WSAECONNREFUSED);
  EXPECT_EQ(WSAECONNREFUSED, 10061);
}

TEST_F(SocketConnectionTest, SilentPeerEndsReadsByTimeOut) {
  LoopbackPeer peer(StaySilent);
  SocketConnection connection;
  ASSERT_EQ(connection.Connect("127.0.0.1", peer.Port(), 1).Number(), 0);
  std::string line = "stale";
  const DWORD elapsed = Timed([&] { EXPECT_EQ(connection.ReadLine(line, 100).Number(), -2); });
  EXPECT_EQ(line, "");
  EXPECT_GE(elapsed, 900u);
  EXPECT_LT(elapsed, 5000u);
  EXPECT_EQ(connection.AbortState(), 1);
  // Once aborted, every further wait ends at once.
  int length = 0;
  SocketStatus status;
  EXPECT_EQ(connection.ReadAvailable(length, status), nullptr);
  EXPECT_EQ(status.Number(), -2);
}

TEST_F(SocketConnectionTest, SlowReaderDrainsBufferedRest) {
  constexpr int kSize = 1024 * 1024;
  std::atomic<long long> received = 0;
  std::string pattern(kSize, '\0');
  for (int i = 0; i < kSize; ++i) pattern[i] = static_cast<char>(i * 7 + i / 4096);
  std::string seen;
  {
    LoopbackPeer peer(
        [&](SOCKET socket) {
          std::string chunk(32768, '\0');
          for (int n; (n = recv(socket, chunk.data(), 32768, 0)) > 0;) {
            seen.append(chunk, 0, static_cast<size_t>(n));
            Sleep(1);
          }
          received = static_cast<long long>(seen.size());
        },
        4096);
    SocketConnection connection;
    ASSERT_EQ(connection.Connect("127.0.0.1", peer.Port(), 10).Number(), 0);
    EXPECT_EQ(connection.SendAll(pattern.data(), kSize).Number(), 0);
    // The socket could not take it all at once: the rest went through the send buffer.
    EXPECT_GT(connection.SendBuffer().Capacity(), 0);
    EXPECT_EQ(connection.SendBuffer().Length(), 0);
    EXPECT_EQ(connection.SendAll("end", 3).Number(), 0);
  }
  EXPECT_EQ(received, kSize + 3);
  EXPECT_TRUE(seen == pattern + "end");
}

TEST_F(SocketConnectionTest, ReaderThatNeverReadsEndsSendByTimeOut) {
  std::atomic<bool> done = false;
  LoopbackPeer peer(
      [&](SOCKET) {
        while (!done) Sleep(10);
      },
      4096);
  SocketConnection connection;
  ASSERT_EQ(connection.Connect("127.0.0.1", peer.Port(), 1).Number(), 0);
  const std::string block(8 * 1024 * 1024, 'z');
  const DWORD elapsed = Timed([&] {
    EXPECT_EQ(connection.SendAll(block.data(), static_cast<int>(block.size())).Number(), -2);
  });
  EXPECT_GE(elapsed, 900u);
  EXPECT_LT(elapsed, 5000u);
  done = true;
}

TEST_F(SocketConnectionTest, CancelDuringWaitEndsAtNextDispatchedMessage) {
  LoopbackPeer peer(StaySilent);
  SocketConnection connection;
  ASSERT_EQ(connection.Connect("127.0.0.1", peer.Port(), 30).Number(), 0);
  cancelTarget = &connection;
  std::string line;

  // From a timer of the host, as a Cancel click arriving mid-wait.
  SetTimer(nullptr, 0, 100, CancelFromTimer);
  DWORD elapsed = Timed([&] { EXPECT_EQ(connection.ReadLine(line, 100).Number(), -2); });
  EXPECT_LT(elapsed, 5000u);

  // From a message posted before the wait starts; Close clears the flag for the next socket.
  connection.Close();
  EXPECT_EQ(connection.AbortState(), 0);
  LoopbackPeer second(StaySilent);
  ASSERT_EQ(connection.Connect("127.0.0.1", second.Port(), 30).Number(), 0);
  HWND host = CreateCancelWindow();
  PostMessageW(host, WM_TEST_CANCEL, 0, 0);
  elapsed = Timed([&] { EXPECT_EQ(connection.ReadLine(line, 100).Number(), -2); });
  EXPECT_LT(elapsed, 5000u);
  DestroyWindow(host);
  cancelTarget = nullptr;
  connection.Close();  // lets the silent peers end
}

TEST_F(SocketConnectionTest, PeerCloseEndsReadsWithMinusThree) {
  LoopbackPeer peer([](SOCKET socket) {
    SendBytes(socket, "complete\npartial");
    Sleep(300);  // the close reaches a reader already waiting for more
    shutdown(socket, SD_SEND);
  });
  SocketConnection connection;
  ASSERT_EQ(connection.Connect("127.0.0.1", peer.Port(), 2).Number(), 0);
  std::string line;
  EXPECT_EQ(connection.ReadLine(line, 100).Number(), 0);
  EXPECT_EQ(line, "complete");
  // A line the peer never ended is not a line.
  EXPECT_EQ(connection.ReadLine(line, 100).Number(), -3);
  EXPECT_EQ(line, "");
}

TEST_F(SocketConnectionTest, ReadAvailableCollectsBodyUntilPeerCloses) {
  const std::string body(200000, 'b');
  LoopbackPeer peer([&](SOCKET socket) { SendBytes(socket, "HTTP/1.0 200 OK\r\n\r\n" + body); });
  SocketConnection connection;
  ASSERT_EQ(connection.Connect("127.0.0.1", peer.Port(), 2).Number(), 0);
  std::string line;
  ASSERT_EQ(connection.ReadLine(line, 8192).Number(), 0);
  ASSERT_EQ(connection.ReadLine(line, 8192).Number(), 0);
  EXPECT_EQ(line, "");
  std::string collected;
  int length = 0;
  SocketStatus status;
  while (std::unique_ptr<char[]> block = connection.ReadAvailable(length, status)) {
    EXPECT_EQ(block[length], '\0');
    collected.append(block.get(), static_cast<size_t>(length));
  }
  EXPECT_EQ(status.Number(), -3);
  EXPECT_TRUE(collected == body);
}

TEST_F(SocketConnectionTest, CloseLeavesConnectionReusable) {
  SocketConnection connection;
  {
    LoopbackPeer peer([](SOCKET) {});
    ASSERT_EQ(connection.Connect("127.0.0.1", peer.Port(), 2).Number(), 0);
    std::string line;
    EXPECT_EQ(connection.ReadLine(line, 100).Number(), -3);
    // The close notification follows; once handled, every wait ends at once.
    const DWORD start = GetTickCount();
    while (connection.AbortState() == 0 && GetTickCount() - start < 2000) PumpOneMessage();
    EXPECT_EQ(connection.AbortState(), -3);
  }
  connection.Close();
  EXPECT_EQ(connection.AbortState(), 0);
  EXPECT_EQ(connection.Socket(), INVALID_SOCKET);
  std::string line;
  EXPECT_EQ(connection.ReadLine(line, 100).Number(), -1);
  EXPECT_EQ(connection.SendAll("x", 1).Number(), -1);
  int length = 0;
  SocketStatus status;
  EXPECT_EQ(connection.ReadAvailable(length, status), nullptr);
  EXPECT_EQ(status.Number(), -1);

  // The same object connects again; nothing of the old socket's messages may leak into it.
  LoopbackPeer again([](SOCKET socket) { SendBytes(socket, "welcome\r\n"); });
  ASSERT_EQ(connection.Connect("127.0.0.1", again.Port(), 2).Number(), 0);
  EXPECT_EQ(connection.ReadLine(line, 100).Number(), 0);
  EXPECT_EQ(line, "welcome");
}

TEST_F(SocketConnectionTest, SeventeenthConnectionWaitsEndByTimeOut) {
  LoopbackListener listener;
  std::vector<std::unique_ptr<SocketConnection>> tabled;
  for (int i = 0; i < 16; ++i) {
    tabled.push_back(std::make_unique<SocketConnection>());
    ASSERT_EQ(tabled.back()->Connect("127.0.0.1", listener.Port(), 2).Number(), 0) << i;
  }
  SocketConnection untabled;
  const DWORD elapsed =
      Timed([&] { EXPECT_EQ(untabled.Connect("127.0.0.1", listener.Port(), 1).Number(), -2); });
  EXPECT_GE(elapsed, 900u);
  EXPECT_LT(elapsed, 5000u);

  // A destroyed connection frees its slot for the next one.
  tabled.pop_back();
  SocketConnection next;
  EXPECT_EQ(next.Connect("127.0.0.1", listener.Port(), 2).Number(), 0);
}

TEST_F(SocketConnectionTest, PublicHostRuleForLiteralsAndDotlessNames) {
  SocketConnection connection;
  EXPECT_EQ(connection.IsPublicHost("http://localhost/upload.cgi"), 0);
  EXPECT_EQ(connection.IsPublicHost("http://10.1.2.3/"), 0);
  EXPECT_EQ(connection.IsPublicHost("http://172.20.0.1:8080/x"), 0);
  EXPECT_EQ(connection.IsPublicHost("http://192.168.1.1/"), 0);
  EXPECT_EQ(connection.IsPublicHost("http://172.32.0.1/"), 1);
  EXPECT_EQ(connection.IsPublicHost("HTTP://8.8.8.8/"), 1);
  // Literals need no window, no socket and no lookup.
  EXPECT_EQ(connection.Window(), nullptr);
  EXPECT_EQ(connection.Socket(), INVALID_SOCKET);
}

TEST_F(SocketConnectionTest, BufferSizesAreEnlarged) {
  const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, 0);
  EXPECT_EQ(SetSendBufferSize(socket), 262144);
  EXPECT_EQ(SetReceiveBufferSize(socket), 262144);
  closesocket(socket);
}
