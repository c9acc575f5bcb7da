// The HTTP engine inside a hosted control, driven by dispatch identifier, against loopback
// peers that keep every byte of the request.
#include <gtest/gtest.h>
// The common controls need the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "control/engine/http/multipart_upload_win.h"
#include "control/engine/http/testing/capture_peer_win.h"
#include "control/object/module_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/testing/hosted_control_win.h"
#include "control/testing/test_texts_win.h"

namespace zorvel::testing {
namespace {

constexpr char kHeaderTail[] =
    "User-Agent: Zorvex/1.0\r\nContent-Type: multipart/form-data; "
    "boundary=--K38Valet20020709\r\nContent-Length: ";
constexpr char kMagicHead[] =
    "----K38Valet20020709\r\nContent-Disposition: form-data; name=\"magic\"\r\n\r\n";
constexpr char kClosing[] = "\r\n----K38Valet20020709--\r\n";

std::string FileHead(const char* number, const std::string& name) {
  return std::string("\r\n----K38Valet20020709\r\nContent-Disposition: form-data; name=\"xfile") +
         number + "\"; filename=\"" + name + "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
}

// Bytes that differ from file to file and from block to block.
std::string Url(const CapturePeer& peer, const std::string& rest = "/up/recv.cgi") {
  return "http://127.0.0.1:" + std::to_string(peer.Port()) + rest;
}

std::string Host(const CapturePeer& peer) { return "127.0.0.1:" + std::to_string(peer.Port()); }

// The amount sent so far, in KB, of every OnProgress the control fired.
std::vector<long> ReportedKilobytes(const HostedControl& control) {
  std::vector<long> reported;
  for (const RecordedEvent& event : control.Events()) {
    if (event.id == kOnProgress) reported.push_back(std::atol(event.text.c_str()));
  }
  return reported;
}

// The same, as it must be: one figure for every 8000-byte block of the files in turn.
std::vector<long> BlockKilobytes(std::initializer_list<long> sizes) {
  std::vector<long> expected;
  long sent = 0;
  for (const long size : sizes) {
    for (long done = 0; done < size; done += 8000) {
      sent += std::min(8000L, size - done);
      expected.push_back(sent / 1024);
    }
  }
  return expected;
}

class MultipartUploadTest : public EngineTest<MultipartUpload, nullptr> {};

TEST_F(MultipartUploadTest, WorkedExampleGoesOutByteForByte) {
  CapturePeer peer({"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n1\r\n"});
  const std::string data = Pattern(100, 1);
  const std::string path = files_.Write("long name.bin", data);
  HostedControl control;
  control.Put(kUrl, Url(peer));
  control.Put(kFilePath, path + "|a.tta");
  control.Call(kStart);

  const std::string expected = "POST /up/recv.cgi HTTP/1.0\r\nHost: " + Host(peer) + "\r\n" +
                               kHeaderTail + "369\r\n\r\n" + kMagicHead +
                               "000000001 000000100 000000243 000000100 " +
                               FileHead("001", "a.tta") + data + kClosing;
  EXPECT_EQ(peer.Request(), expected);
  EXPECT_EQ(control.GetNumber(kResult), 0);
  EXPECT_EQ(control.GetText(kHtmlResult), "1\r\n");
  EXPECT_EQ(SendMessageW(control.Item(IDC_PROGRESS), PBM_GETPOS, 0, 0), 62);
  Zorvex& object = control.Object();
  EXPECT_EQ(object.StatusText.substr(0, LoadAnsiString(IDS_COMPLETE).find('%')),
            LoadAnsiString(IDS_COMPLETE).substr(0, LoadAnsiString(IDS_COMPLETE).find('%')));
  EXPECT_EQ(object.ProgressText, "100  100%");

  // The events in their order: connecting, header, file, progress, waiting, answer, result.
  EXPECT_TRUE(control.Logged("Connecting... 127.0.0.1:" + std::to_string(peer.Port())));
  EXPECT_TRUE(control.Logged("Sending... " + path + " (100 bytes) as a.tta"));
  EXPECT_TRUE(control.Logged("HTTP/1.1 200 OK\r\nContent-Type: text/plain"));
  std::vector<std::string> order;
  for (const RecordedEvent& event : control.Events()) {
    if (event.id == kOnProgress) order.push_back("progress " + event.text);
    if (event.id == kOnComplete) order.push_back("complete " + event.text);
    if (event.id == kOnLog && event.text.size() > 21) order.push_back(event.text.substr(21, 12));
  }
  const std::vector<std::string> wanted = {
      "Start upload",         "Connecting..", "POST /up/rec", "Sending... " + path.substr(0, 1),
      "progress 100  100%\t", "Waiting resp", "HTTP/1.1 200", "complete 1\r\n",
      "End uploadin"};
  EXPECT_EQ(order, wanted);
}

TEST_F(MultipartUploadTest, FieldsCredentialsPageAndAnAddressWithoutPath) {
  CapturePeer peer;
  const std::string first = Pattern(3, 2), second = Pattern(20000, 3);
  const std::string firstPath = files_.Write("a.wav", first);
  const std::string secondPath = files_.Write("b.wav", second);
  HostedControl control;
  Zorvex& object = control.Object();
  object.PageUrl = "http://192.168.1.1/page.html";
  object.CookieText = "session=42; lang=ja";
  // Port and time-out in the address, and no path.
  control.Put(kUrl, Url(peer, ":7"));
  control.Put(kPara1, "first");
  control.Put(kPara3, "\x93\xfa\x96\x7b");  // "日本" in Shift_JIS
  control.Put(kAuth, "user:pass");
  control.Put(kProxyAuth, "px:pw");
  control.Put(kFilePath, firstPath + ";" + secondPath + "|bee");
  control.Call(kStart);

  const std::string para =
      "\r\n----K38Valet20020709\r\nContent-Disposition: form-data; name=\"para1\"\r\n\r\nfirst"
      "\r\n----K38Valet20020709\r\nContent-Disposition: form-data; name=\"para3\"\r\n\r\n"
      "\x93\xfa\x96\x7b";
  const std::string firstHead = FileHead("001", firstPath);
  const std::string secondHead = FileHead("002", "bee");
  const long firstOffset = 70 + 60 + static_cast<long>(para.size() + firstHead.size());
  const long secondOffset = firstOffset + 3 + static_cast<long>(secondHead.size());
  char magic[128];
  std::snprintf(magic, sizeof magic, "000000002 000020003 %09ld 000000003 %09ld 000020000 ",
                firstOffset, secondOffset);
  const std::string body =
      kMagicHead + std::string(magic) + para + firstHead + first + secondHead + second + kClosing;
  const std::string expected =
      "POST / HTTP/1.0\r\nAuthorization: Basic dXNlcjpwYXNz\r\n"
      "Proxy-Authorization: Basic cHg6cHc=\r\nReferer: http://192.168.1.1/page.html\r\n"
      "Cookie: session=42; lang=ja\r\nHost: " +
      Host(peer) + ":7\r\n" + kHeaderTail + std::to_string(body.size()) + "\r\n\r\n" + body;
  EXPECT_EQ(peer.Request(), expected);
  EXPECT_EQ(control.GetNumber(kResult), 0);
  EXPECT_EQ(control.GetText(kHtmlResult), "1");
  EXPECT_TRUE(control.Logged("Sending... " + firstPath + " (3 bytes)"));
}

TEST_F(MultipartUploadTest, LargeFilesAreReadInBlocksAndSentWhole) {
  CapturePeer peer;
  const std::string big = Pattern(8 * 1024 * 1024 + 1, 4), mapped = Pattern(8 * 1024 * 1024, 5);
  const std::string bigPath = files_.Write("big.bin", big);
  const std::string mappedPath = files_.Write("mapped.bin", mapped);
  HostedControl control;
  control.Put(kUrl, Url(peer));
  control.Put(kFilePath, bigPath + "|big;" + mappedPath + "|mapped");
  // With nobody listening the texts are made only when seen, yet the run leaves the last
  // block's figures.
  control.StopListening();
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), 0);
  EXPECT_EQ(control.Object().ProgressText.substr(0, 15), "16384KB  100%  ");
  const std::string request = peer.Request();
  const size_t body = request.find("\r\n\r\n") + 4;
  ASSERT_NE(body, std::string::npos + 4);
  // The index points at each file's bytes within the body.
  const long bigOffset = std::atol(request.c_str() + body + 70 + 20);
  const long mappedOffset = std::atol(request.c_str() + body + 70 + 40);
  EXPECT_TRUE(request.compare(body + bigOffset, big.size(), big) == 0);
  EXPECT_TRUE(request.compare(body + mappedOffset, mapped.size(), mapped) == 0);
  EXPECT_EQ(request.size() - body, mappedOffset + mapped.size() + sizeof kClosing - 1);
  EXPECT_EQ(SendMessageW(control.Item(IDC_PROGRESS), PBM_GETPOS, 0, 0), 62);
}

// Several blocks go to the socket in one write, yet each 8000-byte block is reported on its own,
// with the amount sent so far, for a read file and for a mapped one alike.
TEST_F(MultipartUploadTest, EveryBlockIsReportedWhateverTheSocketWritesCarry) {
  CapturePeer peer;
  // In the list's order: the mapped file first.
  const long mappedSize = 20'000, readSize = 8 * 1024 * 1024 + 1;
  const std::string mappedPath = files_.Write("mapped.bin", Pattern(mappedSize, 11));
  const std::string readPath = files_.Write("read.bin", Pattern(readSize, 10));
  HostedControl control;
  control.Put(kUrl, Url(peer));
  control.Put(kFilePath, readPath + "|r;" + mappedPath + "|m");
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), 0);
  EXPECT_EQ(ReportedKilobytes(control), BlockKilobytes({mappedSize, readSize}));
  EXPECT_EQ(SendMessageW(control.Item(IDC_PROGRESS), PBM_GETPOS, 0, 0), 62);
}

// A handler of OnProgress that cancels stops the run after that very block, though the blocks
// after it already went to the socket in the same write.
TEST_F(MultipartUploadTest, CancelFromOnProgressStopsAfterThatBlock) {
  CapturePeer peer;
  const std::string path = files_.Write("a.bin", Pattern(9 * 1024 * 1024, 12));
  HostedControl control;
  control.Put(kUrl, Url(peer));
  control.Put(kFilePath, path);
  int progress = 0;
  control.OnEvent([&](const RecordedEvent& event) {
    if (event.id == kOnProgress && ++progress == 3) control.Call(kCancel);
  });
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), -2);
  EXPECT_EQ(progress, 3);
  EXPECT_EQ(control.Object().StatusText, LoadAnsiString(IDS_CANCELLED));
  EXPECT_FALSE(control.Logged("Waiting response..."));
}

// Messages posted to the control's window faster than the run dispatches them one at a time (a
// burst, then a steady stream) neither stall the per-block figures nor keep a Cancel click
// queued behind the burst waiting until the files have all gone.
TEST_F(MultipartUploadTest, FloodOfPostedMessagesHoldsBackNeitherProgressNorCancel) {
  CapturePeer peer;
  const long size = 16 * 1024 * 1024;
  const std::string path = files_.Write("a.bin", Pattern(size, 13));
  HostedControl control;
  control.Put(kUrl, Url(peer));
  control.Put(kFilePath, path);
  constexpr int kBurst = 3000, kPerBlock = 4;
  int progress = 0;
  control.OnEvent([&](const RecordedEvent& event) {
    if (event.id != kOnProgress) return;
    const int posted = ++progress == 3 ? kBurst : kPerBlock;
    for (int i = 0; i < posted; ++i) PostMessageW(control.Window(), WM_NULL, 0, 0);
    if (progress == 3) {
      PostMessageW(control.Window(), WM_COMMAND, MAKEWPARAM(IDC_SECOND, BN_CLICKED), 0);
    }
  });
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), -2);
  EXPECT_EQ(control.Object().StatusText, LoadAnsiString(IDS_CANCELLED));
  const std::vector<long> reported = ReportedKilobytes(control);
  std::vector<long> expected = BlockKilobytes({size});
  ASSERT_GT(reported.size(), 3u);
  // A few looks drain the burst; one message a look would leave the click for most of the file.
  EXPECT_LT(reported.size(), expected.size() / 8) << "the click waited behind the flood";
  expected.resize(std::min(expected.size(), reported.size()));
  EXPECT_EQ(reported, expected);
}

TEST_F(MultipartUploadTest, ProxyCarriesDottedHostsAndDotlessOnesGoDirect) {
  const std::string data = Pattern(10, 10);
  const std::string path = files_.Write("a.wav", data);
  char index[64];
  std::snprintf(index, sizeof index, "000000001 000000010 %09zu 000000010 ",
                70 + 40 + FileHead("001", path).size());
  const std::string body =
      kMagicHead + std::string(index) + FileHead("001", path) + data + kClosing;
  {
    CapturePeer proxy;
    HostedControl control;
    control.Put(kProxy, "127.0.0.1:" + std::to_string(proxy.Port()));
    control.Put(kProxyAuth, "px:pw");
    control.Put(kUrl, "http://files.example.com/up?x=1");
    control.Put(kFilePath, path);
    control.Call(kStart);
    EXPECT_EQ(control.GetNumber(kResult), 0);
    EXPECT_EQ(proxy.Request(),
              "POST http://files.example.com/up?x=1 HTTP/1.0\r\nProxy-Authorization: Basic "
              "cHg6cHc=\r\nHost: files.example.com\r\n" +
                  std::string(kHeaderTail) + std::to_string(body.size()) + "\r\n\r\n" + body);
    EXPECT_TRUE(control.Logged("Connecting... 127.0.0.1:" + std::to_string(proxy.Port())));
  }
  {
    // "localhost" has no dot: straight to the server, whatever the proxy.
    CapturePeer server;
    HostedControl control;
    control.Put(kProxy, "127.0.0.1:" + std::to_string(UnusedLoopbackPort()));
    control.Put(kUrl, "http://localhost:" + std::to_string(server.Port()) + "/up");
    control.Put(kFilePath, path);
    control.Call(kStart);
    EXPECT_EQ(control.GetNumber(kResult), 0);
    EXPECT_TRUE(server.Request().starts_with("POST /up HTTP/1.0\r\nHost: localhost:"));
  }
}

// Aliases made in another Charset go out as their bytes, quote and all; the index still points
// at each file's data.
TEST_F(MultipartUploadTest, CharsetAliasesKeepTheIndexRight) {
  const std::string data = Pattern(1000, 11);
  const std::string path = files_.Write("\x82\xa0.wav", data);  // "あ.wav"
  const struct {
    const char* charset;
    std::string name;
  } cases[] = {
      {"sjis", path},
      {"euc", "\xa4\xa2.wav"},
      {"jis", "\x1b$B$\"\x1b(J.wav"},
      {"utf8", "\xe3\x81\x82.wav"},
      {"ucs2", "B0."},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.charset);
    CapturePeer peer;
    HostedControl control;
    control.Put(kCharset, test.charset);
    control.Put(kUrl, Url(peer));
    control.Put(kFilePath, path);
    control.Call(kStart);
    EXPECT_EQ(control.GetNumber(kResult), 0);
    const std::string request = peer.Request();
    const size_t body = request.find("\r\n\r\n") + 4;
    const std::string head = FileHead("001", test.name);
    const long offset = std::atol(request.c_str() + body + 70 + 20);
    EXPECT_EQ(offset, 110 + static_cast<long>(head.size()));
    EXPECT_EQ(request.substr(body + 110, head.size()), head);
    EXPECT_EQ(request.substr(body + offset, data.size()), data);
    EXPECT_EQ(request.size() - body, offset + data.size() + sizeof kClosing - 1);
  }
}

TEST_F(MultipartUploadTest, AddressesOfOtherSchemesEndAtOnce) {
  const std::string path = files_.Write("a.wav", "abc");
  for (const std::string url : {"httpz://127.0.0.1/up", "", "ftx://host/"}) {
    SCOPED_TRACE(url);
    HostedControl control;
    control.Put(kUrl, url);
    control.Put(kFilePath, path);
    control.Call(kStart);
    EXPECT_EQ(control.GetNumber(kResult), -1);
    EXPECT_EQ(control.Object().ProgressText, Formatted(IDS_URL_ERROR, url));
    EXPECT_FALSE(control.Logged("Connecting... 127.0.0.1:80"));
  }
}

TEST_F(MultipartUploadTest, RefusedConnection) {
  const std::string path = files_.Write("a.wav", "abc");
  HostedControl control;
  control.Put(kUrl, "HTTP://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/up");
  control.Put(kFilePath, path);
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), -3);
  EXPECT_EQ(control.Object().StatusText, Formatted(IDS_CONNECT_ERROR, WSAECONNREFUSED));
}

TEST_F(MultipartUploadTest, ServerAnswersOtherThanSuccess) {
  const std::string path = files_.Write("a.wav", "abc");
  const struct {
    const char* answer;
    const char* statusLine;
  } cases[] = {
      {"HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1/else\r\n\r\n", "HTTP/1.1 302 Found"},
      {"HTTP/1.1 302 Found\r\n\r\n", "HTTP/1.1 302 Found"},
      {"HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n",
       "HTTP/1.1 500 Internal Server Error"},
      {"HTTP/1.1\r\n\r\n1", "HTTP/1.1"},
  };
  for (const auto& answer : cases) {
    SCOPED_TRACE(answer.answer);
    CapturePeer peer({answer.answer});
    HostedControl control;
    control.Put(kUrl, Url(peer));
    control.Put(kFilePath, path);
    control.Call(kStart);
    EXPECT_EQ(control.GetNumber(kResult), -5);
    EXPECT_EQ(control.Object().ProgressText, answer.statusLine);
    EXPECT_EQ(control.Object().StatusText, LoadAnsiString(IDS_SERVER_ERROR));
    EXPECT_EQ(control.GetText(kHtmlResult), "");
    EXPECT_TRUE(control.Logged("End uploading.  " + LoadAnsiString(IDS_SERVER_ERROR) + " " +
                               answer.statusLine));
  }
}

TEST_F(MultipartUploadTest, AnnouncedLengthEndsTheBodyWithoutWaitingForTheClose) {
  CapturePeer peer({"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n12345", false});
  const std::string path = files_.Write("a.wav", "abc");
  HostedControl control;
  control.Put(kUrl, Url(peer, ":30/up"));
  control.Put(kFilePath, path);
  const DWORD start = GetTickCount();
  control.Call(kStart);
  EXPECT_LT(GetTickCount() - start, 10000u);
  EXPECT_EQ(control.GetNumber(kResult), 0);
  EXPECT_EQ(control.GetText(kHtmlResult), "12345");
}

TEST_F(MultipartUploadTest, PeerClosingInTheMiddleOfTheBody) {
  PeerScript script;
  script.closeAfterBodyBytes = 1000;
  CapturePeer peer(script);
  const std::string path = files_.Write("a.wav", Pattern(4'000'000, 6));
  HostedControl control;
  control.Put(kUrl, Url(peer, ":10/up"));
  control.Put(kFilePath, path);
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), -4);
  EXPECT_EQ(control.Object().StatusText.substr(0, 10),
            LoadAnsiString(IDS_SEND_ERROR).substr(0, 10));
}

HWND g_cancelTarget = nullptr;

// Clicks the control's Cancel button from inside the run's message dispatching.
void CALLBACK ClickCancel(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  SendMessageW(g_cancelTarget, WM_COMMAND, MAKEWPARAM(IDC_SECOND, BN_CLICKED), 0);
}

std::function<bool()> g_cancelWhen;

// Clicks Cancel as soon as the condition holds, checking every 50 ms.
void CALLBACK ClickCancelWhen(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!g_cancelWhen()) return;
  KillTimer(nullptr, timer);
  SendMessageW(g_cancelTarget, WM_COMMAND, MAKEWPARAM(IDC_SECOND, BN_CLICKED), 0);
}

TEST_F(MultipartUploadTest, CancelWhileTheTableIsBuilt) {
  const std::string path = files_.Write("a.wav", "abc");
  HostedControl control;
  control.Put(kUrl, "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/up");
  control.Put(kFilePath, path);
  // Waiting in the queue, the click is taken by the first message the run dispatches.
  PostMessageW(control.Window(), WM_COMMAND, MAKEWPARAM(IDC_SECOND, BN_CLICKED), 0);
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), -2);
  EXPECT_EQ(control.Object().StatusText, LoadAnsiString(IDS_CANCELLED));
  EXPECT_FALSE(control.Logged("Connecting... 127.0.0.1:" + std::to_string(UnusedLoopbackPort())));
  EXPECT_TRUE(control.Logged("Cancel accepted."));
}

TEST_F(MultipartUploadTest, CancelWhileWaitingForTheAnswerAndBetweenBlocks) {
  const std::string small = files_.Write("a.wav", "abc");
  const std::string big = files_.Write("b.wav", Pattern(16 * 1024 * 1024, 7));
  for (const bool waitForAnswer : {true, false}) {
    SCOPED_TRACE(waitForAnswer ? "answer wait" : "between blocks");
    PeerScript script;
    script.silent = true;
    CapturePeer peer(script);
    HostedControl control;
    control.Put(kUrl, Url(peer, ":60/up"));
    control.Put(kFilePath, waitForAnswer ? small : big);
    g_cancelTarget = control.Window();
    // The silent peer keeps the request once all of it has arrived.
    g_cancelWhen = [&] { return !waitForAnswer || !peer.Request().empty(); };
    SetTimer(nullptr, 0, 50, ClickCancelWhen);
    const DWORD start = GetTickCount();
    control.Call(kStart);
    EXPECT_LT(GetTickCount() - start, 30000u) << "the cancel, not the time-out, ended it";
    EXPECT_EQ(control.GetNumber(kResult), -2);
    EXPECT_EQ(control.Object().StatusText, LoadAnsiString(IDS_CANCELLED));
    EXPECT_EQ(waitForAnswer, control.Logged("Waiting response..."));
    if (!waitForAnswer) {
      PumpUntil([&] { return peer.Request().size() > 0; });
      EXPECT_LT(peer.Request().size(), 16u * 1024 * 1024);
    }
  }
}

TEST_F(MultipartUploadTest, CancelWhileConnecting) {
  // A listener whose queue is already full and that accepts nothing: connecting waits.
  SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  listen(listener, 0);
  int size = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
  std::vector<SOCKET> queued;
  for (int i = 0; i < 4; ++i) {
    SOCKET waiting = socket(AF_INET, SOCK_STREAM, 0);
    u_long nonBlocking = 1;
    ioctlsocket(waiting, FIONBIO, &nonBlocking);
    connect(waiting, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    queued.push_back(waiting);
  }
  Sleep(200);
  const std::string path = files_.Write("a.wav", "abc");
  HostedControl control;
  control.Put(kUrl, "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + ":60/up");
  control.Put(kFilePath, path);
  g_cancelTarget = control.Window();
  SetTimer(nullptr, 0, 500, ClickCancel);
  const DWORD start = GetTickCount();
  control.Call(kStart);
  EXPECT_LT(GetTickCount() - start, 30000u);
  EXPECT_EQ(control.GetNumber(kResult), -2);
  EXPECT_EQ(control.Object().StatusText, LoadAnsiString(IDS_CANCELLED));
  EXPECT_TRUE(control.Logged("Connecting... 127.0.0.1:" + std::to_string(ntohs(address.sin_port))));
  EXPECT_FALSE(control.Logged("Sending... " + path + " (3 bytes)")) << "never connected";
  for (SOCKET waiting : queued) closesocket(waiting);
  closesocket(listener);
}

std::function<void()> g_duringRun;

void CALLBACK RunAction(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  g_duringRun();
}

// The index and Content-Length are sent before the files: a file that changed after the table
// was built must not go out under them.
TEST_F(MultipartUploadTest, FileChangedOrGoneBeforeItsTurnStopsTheRun) {
  const std::string first = files_.Write("a.wav", Pattern(2'000'000, 8));
  for (const bool removed : {false, true}) {
    SCOPED_TRACE(removed ? "gone" : "grown");
    const std::string second = files_.Write("b.wav", Pattern(100, 8));
    // The peer reads nothing for a while, so the first file is still going out when the
    // second one changes.
    PeerScript script;
    script.stallMs = 1500;
    CapturePeer peer(script);
    HostedControl control;
    control.Put(kUrl, Url(peer));
    control.Put(kFilePath, first + ";" + second);
    g_duringRun = [&] {
      if (removed) {
        EXPECT_TRUE(DeleteFileA(second.c_str()));
      } else {
        files_.Write("b.wav", Pattern(150, 8));
      }
    };
    SetTimer(nullptr, 0, 300, RunAction);
    control.Call(kStart);
    EXPECT_EQ(control.GetNumber(kResult), -4);
    EXPECT_EQ(control.Object().StatusText,
              Formatted(IDS_SEND_ERROR, removed ? ERROR_FILE_NOT_FOUND : ERROR_FILE_INVALID));
    EXPECT_TRUE(removed ? control.Logged("Cannot open " + second + " (error 2).")
                        : control.Logged("File changed since listed: " + second +
                                         " (100 bytes listed, 150 now)."));
    PumpUntil([&] { return peer.Request().size() > 2'000'000; });
    const std::string request = peer.Request();
    EXPECT_NE(request.find("xfile001"), std::string::npos);
    EXPECT_EQ(request.find("xfile002"), std::string::npos) << "nothing of the file was sent";
  }
}

TEST_F(MultipartUploadTest, BrowserCaptionShowsProgressAndIsRestored) {
  CapturePeer peer;
  const std::string path = files_.Write("a.wav", Pattern(5000, 9));
  HostedControl control;
  HWND browser = CreateWindowA("STATIC", "Page title", 0, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  control.Object().BrowserWindow = browser;
  control.Put(kUrl, Url(peer));
  control.Put(kFilePath, path);
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), 0);
  char caption[256] = "";
  GetWindowTextA(browser, caption, sizeof caption);
  EXPECT_STREQ(caption, "Page title");
  control.Object().BrowserWindow = nullptr;
  DestroyWindow(browser);
}

}  // namespace
}  // namespace zorvel::testing
