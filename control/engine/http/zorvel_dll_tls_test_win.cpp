// The shipped Zorvel.dll uploads over TLS through the system's provider to orvane-server serving
// HTTPS (scripts/test-tls-front), whose test authority the test trusts while it runs; the fronts
// beside it, under certificates a client must refuse, pass nothing on.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/testing/trusted_authority_win.h"
#include "control/engine/http/testing/registered_server_fixture_win.h"
#include "control/engine/socket/testing/loopback_peer_win.h"
#include "control/hosting/dispatch_call_win.h"
#include "control/testing/hosted_control_win.h"

namespace {

using enum zorvel::Dispid;
using zorvel::testing::ParaLine;
using zorvel::testing::ReadAnsiFile;
using zorvel::testing::TempFiles;

const std::string US = "\x1f";

class ZorvelDllTlsTest : public zorvel::testing::RegisteredServerTest {
 protected:
  // Wine's chain engine reads the trusted roots once per process: the trust comes first.
  static void SetUpTestSuite() {
    const char* state = std::getenv("ORVANE_TLS_STATE");
    if (state)
      authority_ = std::make_unique<base::testing::TrustedAuthority>(
          ReadAnsiFile(std::string(state) + "/ca.pem"));
  }
  static void TearDownTestSuite() { authority_.reset(); }

  void SetUp() override {
    RegisteredServerTest::SetUp();
    ASSERT_TRUE(authority_ && authority_->Trusted()) << "run through ctest";
    state_ = std::getenv("ORVANE_TLS_STATE");
  }

  std::string Port(const char* file) { return ReadAnsiFile(state_ + "/" + file); }

  // A forward of one work file, so the server answers "1" when it gets it.
  std::string Forward(const std::string& productId) {
    const std::string work = files_.Write("w.tta", std::string(70'000, 'w'));
    return files_.Write("OrvaneFileTrans.para",
                        ParaLine(productId, "w.wav" + US + "90000", "w.tta" + US + "70000")) +
           ";" + work;
  }

  bool LoggedContaining(const std::string& text) const {
    for (const std::string& line : logged_) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }

  static std::unique_ptr<base::testing::TrustedAuthority> authority_;
  std::string state_;
  TempFiles files_;
};

std::unique_ptr<base::testing::TrustedAuthority> ZorvelDllTlsTest::authority_;

TEST_F(ZorvelDllTlsTest, UploadsAForwardOverTls) {
  // A Japanese work file ("録音.tta") sent under an alias ("音声.tta"), and one under its name.
  const std::string japaneseName = "\x98\x5e\x89\xb9.tta", alias = "\x89\xb9\x90\xba.tta";
  std::string recording(700'001, '\0');
  for (size_t i = 0; i < recording.size(); ++i) recording[i] = static_cast<char>(i * 13 % 251);
  const std::string text = "a small text file\r\n";
  const std::string para = files_.Write(
      "OrvaneFileTrans.para",
      ParaLine("P-tls-upload", "rec.wav" + US + "1400000" + US + "note.txt" + US + "19",
               alias + US + std::to_string(recording.size()) + US + "note.txt" + US + "19"));
  const std::string recordingPath = files_.Write(japaneseName, recording);
  const std::string textPath = files_.Write("note.txt", text);
  ASSERT_EQ(serverUrl_.rfind("https://", 0), 0u);
  PutText(kUrl, serverUrl_ + "/upload");
  PutText(kFilePath, para + ";" + recordingPath + "|" + alias + ";" + textPath);
  UploadAndExpectSuccess();
  EXPECT_EQ(StoredFiles(), (std::vector<std::string>{recording, text}));
}

// The untrusted authority, a certificate for another host name and an expired one: the run ends
// as a connection error before any byte of the request went out, and says why.
TEST_F(ZorvelDllTlsTest, RefusedCertificatesEndBeforeTheRequest) {
  const struct {
    const char* portFile;
    const char* why;
  } cases[] = {{"impostor_port", "its authority is not trusted"},
               {"otherhost_port", "it is for another host name"},
               {"expired_port", "it has expired or is not yet valid"}};
  for (const auto& each : cases) {
    SCOPED_TRACE(each.portFile);
    logged_.clear();
    PutText(kUrl, "https://127.0.0.1:" + Port(each.portFile) + "/upload");
    PutText(kFilePath, Forward(std::string("P-tls-") + each.portFile));
    ASSERT_EQ(CallDispatchMethod(control_, kStart, nullptr, 0, nullptr), S_OK);
    EXPECT_EQ(GetNumber(kResult), -3);
    EXPECT_TRUE(completed_.empty());
    EXPECT_TRUE(LoggedContaining(std::string("No secure connection to 127.0.0.1: ") + each.why));
    EXPECT_FALSE(LoggedContaining("Sending..."));
  }
  EXPECT_TRUE(StoredFiles().empty());
  // What reached the front after each refused handshake (logged once the connection ended,
  // which may be after this look): nothing.
  const std::string front = ReadAnsiFile(state_ + "/front.log");
  for (const char* portFile : {"impostor_port", "otherhost_port", "expired_port"}) {
    const size_t at = front.find(std::string(portFile) + " sent=");
    if (at != std::string::npos) {
      EXPECT_EQ(front.substr(at, front.find('\n', at) - at), std::string(portFile) + " sent=0");
    }
  }
}

// Through tinyproxy with basic authentication: the proxy opens a tunnel and sees nothing of the
// request; refused credentials end the run as a connection error before TLS begins.
TEST_F(ZorvelDllTlsTest, ProxyTunnelCarriesTheUpload) {
  const char* proxyState = std::getenv("ORVANE_PROXY_STATE");
  ASSERT_NE(proxyState, nullptr) << "run through ctest";
  const std::string proxyLog = std::string(proxyState) + "/tinyproxy.log";
  PutText(kProxy, "127.0.0.1:" + ReadAnsiFile(std::string(proxyState) + "/port"));
  PutText(kProxyAuth, "zorvel:secret");
  PutText(kUrl, serverUrl_ + "/upload");
  PutText(kFilePath, Forward("P-tls-proxy-1"));
  UploadAndExpectSuccess();
  EXPECT_EQ(StoredFiles(), std::vector<std::string>{std::string(70'000, 'w')});
  const std::string log = ReadAnsiFile(proxyLog);
  EXPECT_NE(log.find("CONNECT " + serverUrl_.substr(8) + " HTTP/1.0"), std::string::npos) << log;
  EXPECT_EQ(log.find("POST "), std::string::npos) << log;

  completed_.clear();
  logged_.clear();
  PutText(kProxyAuth, "zorvel:wrong");
  PutText(kFilePath, Forward("P-tls-proxy-2"));
  ASSERT_EQ(CallDispatchMethod(control_, kStart, nullptr, 0, nullptr), S_OK);
  EXPECT_EQ(GetNumber(kResult), -3);
  EXPECT_TRUE(completed_.empty());
  // tinyproxy refuses a tunnel's credentials with 401 where it refuses a request's with 407.
  EXPECT_TRUE(LoggedContaining("The proxy refused the tunnel: HTTP/1.0 401 ") ||
              LoggedContaining("The proxy refused the tunnel: HTTP/1.0 407 "));
  EXPECT_EQ(StoredFiles().size(), 1u);
}

// A server that takes the connection and never answers the handshake: a Cancel ends the run as a
// cancel at once, and the time-out ends it as a connection error.
TEST_F(ZorvelDllTlsTest, SilentHandshakeEndsByCancelOrTimeOut) {
  const std::string path = files_.Write("one.txt", "data");
  {
    LoopbackPeer peer([](SOCKET socket) { ReceiveUntilClosed(socket); });
    PutText(kUrl, "https://127.0.0.1:" + std::to_string(peer.Port()) + ":60/up");
    PutText(kFilePath, path);
    StartAndCancelAfter(500);
    EXPECT_EQ(GetNumber(kResult), -2);
  }
  {
    LoopbackPeer peer([](SOCKET socket) { ReceiveUntilClosed(socket); });
    PutText(kUrl, "https://127.0.0.1:" + std::to_string(peer.Port()) + ":2/up");
    const DWORD start = GetTickCount();
    ASSERT_EQ(CallDispatchMethod(control_, kStart, nullptr, 0, nullptr), S_OK);
    const DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 1500u);
    EXPECT_LT(took, 6000u);
    EXPECT_EQ(GetNumber(kResult), -3);
  }
  EXPECT_TRUE(completed_.empty());
}

// A server that takes the upload slowly: a Cancel while the records go out ends the run as a
// cancel at once, and the time-out ends it as a send failure.
TEST_F(ZorvelDllTlsTest, CancelAndTimeOutWhileSendingOverTls) {
  const std::string path = files_.Write("big.bin", std::string(4'000'000, 'b'));
  const std::string url = "https://127.0.0.1:" + Port("slow_port");
  PutText(kUrl, url + ":60/upload");
  PutText(kFilePath, path);
  StartAndCancelAfter(800);
  EXPECT_EQ(GetNumber(kResult), -2);
  EXPECT_TRUE(LoggedContaining("Sending..."));

  PutText(kUrl, url + ":2/upload");
  const DWORD start = GetTickCount();
  ASSERT_EQ(CallDispatchMethod(control_, kStart, nullptr, 0, nullptr), S_OK);
  EXPECT_LT(GetTickCount() - start, 8000u);
  EXPECT_EQ(GetNumber(kResult), -4);
  EXPECT_TRUE(completed_.empty());
}

// A server that answers the greeting with records that never make a handshake, without end:
// the run ends as a connection error, soon, and nothing of it is kept.
TEST_F(ZorvelDllTlsTest, AHostileHandshakeEndsAsAConnectionError) {
  const std::string path = files_.Write("one.txt", "data");
  std::string record = "\x16\x03\x03\x40\x00";
  record += std::string(0x4000, '\x7f');
  for (const std::string& head : {std::string(), record.substr(0, 5)}) {
    LoopbackPeer peer([&](SOCKET socket) { SendEndlessly(socket, head, record, 0, 10'000); });
    PutText(kUrl, "https://127.0.0.1:" + std::to_string(peer.Port()) + ":20/up");
    PutText(kFilePath, path);
    const DWORD start = GetTickCount();
    ASSERT_EQ(CallDispatchMethod(control_, kStart, nullptr, 0, nullptr), S_OK);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(GetNumber(kResult), -3);
  }
  EXPECT_TRUE(completed_.empty());
  EXPECT_TRUE(LoggedContaining("the TLS handshake failed"));
}

}  // namespace
