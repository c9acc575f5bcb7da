// Servers that send without end, as a hostile or broken one may: what the control keeps stays
// bounded, a Cancel ends the run within a second, and without one the bound ends it as an
// error, never as a success.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "control/engine/ftp/ftp_upload_win.h"
#include "control/engine/http/multipart_upload_win.h"
#include "control/engine/socket/testing/loopback_peer_win.h"
#include "control/object/module_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/testing/hosted_control_win.h"
#include "control/testing/test_texts_win.h"

namespace zorvel::testing {
namespace {

// Longer than any run of these tests may take: a client that does not stop on its own shows
// up as a slow run and a wrong result, not as a test that never ends.
constexpr DWORD kPeerSendsForMs = 20'000;

std::function<void(SOCKET)> EndlessPeer(std::string head, std::string filler, DWORD pauseMs = 0) {
  return [head, filler, pauseMs](SOCKET socket) {
    SendEndlessly(socket, head, filler, pauseMs, kPeerSendsForMs);
  };
}

class HostileServerTest : public EngineTest<MultipartUpload, FtpUpload> {
 protected:
  // One run to the peer; the milliseconds it took.
  DWORD Upload(HostedControl& control, const std::string& url) {
    control.Put(kUrl, url);
    control.Put(kFilePath, files_.Write("a.txt", std::string(2000, 'a')));
    const DWORD start = GetTickCount();
    control.Call(kStart);
    return GetTickCount() - start;
  }
};

TEST_F(HostileServerTest, AnEndlessAnswerOrLineEndsAsAnErrorAtItsBound) {
  const std::string block(16384, 'x');
  struct Case {
    const char* what;
    std::string head;
  };
  const Case cases[] = {{"body", "HTTP/1.0 200 OK\r\n\r\n"},
                        {"line", "HTTP/1.0 200 OK\r\nX-Long: "},
                        {"header", "HTTP/1.0 200 OK\r\n"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string lines;
    for (int i = 0; i < 1000; ++i) lines += "X-More: yes\r\n";
    const std::string filler = std::string(c.what) == "header" ? lines : block;
    LoopbackPeer peer(EndlessPeer(c.head, filler));
    HostedControl control;
    const DWORD took = Upload(control, "http://127.0.0.1:" + std::to_string(peer.Port()) + "/up");
    EXPECT_EQ(control.GetNumber(kResult), -4);
    EXPECT_EQ(control.Object().StatusText, Formatted(IDS_SEND_ERROR, 10040));
    EXPECT_LT(took, 10'000u);
    EXPECT_LE(control.Object().ResponseBody.Capacity(), 4 * 1024 * 1024);
  }
}

TEST_F(HostileServerTest, ACancelWhileAnAnswerKeepsComingEndsTheRunAtOnce) {
  LoopbackPeer peer(EndlessPeer("HTTP/1.0 200 OK\r\n\r\n", std::string(1024, 'x'), 5));
  HostedControl control;
  DWORD cancelledAt = 0;
  control.OnEvent([&](const RecordedEvent& event) {
    if (event.id == 2 && event.text.find("Waiting response...") != std::string::npos) {
      PostHostAction([&] {
        cancelledAt = GetTickCount();
        control.Call(kCancel);
      });
    }
  });
  Upload(control, "http://127.0.0.1:" + std::to_string(peer.Port()) + "/up");
  const DWORD ended = GetTickCount();
  ASSERT_NE(cancelledAt, 0u);
  EXPECT_LT(ended - cancelledAt, 1000u);
  EXPECT_EQ(control.GetNumber(kResult), -2);
  EXPECT_EQ(control.Object().StatusText, LoadAnsiString(IDS_CANCELLED));
  for (const RecordedEvent& event : control.Events()) EXPECT_NE(event.id, 1) << "OnComplete";
}

TEST_F(HostileServerTest, AnEndlessFtpReplyEndsTheLoginAsAnError) {
  LoopbackPeer peer(EndlessPeer("220-welcome\r\n", "220-and more\r\n"));
  HostedControl control;
  const DWORD took = Upload(control, "ftp://127.0.0.1:" + std::to_string(peer.Port()) + "/");
  EXPECT_EQ(control.GetNumber(kResult), -3);
  EXPECT_EQ(control.Object().StatusText, Formatted(IDS_CONNECT_ERROR, 1));
  EXPECT_LT(took, 10'000u);
}

}  // namespace
}  // namespace zorvel::testing
