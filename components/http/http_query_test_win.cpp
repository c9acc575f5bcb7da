// winsock2.h before anything that brings in windows.h.
#include <winsock2.h>

#include <wininet.h>

#include <gtest/gtest.h>

#include "base/app_error.h"
#include "base/text.h"
#include "components/http/http_query_win.h"
#include "components/http/loopback_peer_win.h"

namespace {

long FailureNumber(std::u16string_view url, DWORD timeoutMs = http::kDefaultTimeoutMs) {
  try {
    http::PostFormQuery(url, u"productid=X", timeoutMs);
  } catch (const AppError& error) {
    EXPECT_FALSE(error.description.empty());
    return error.number;
  }
  ADD_FAILURE() << "the query did not fail";
  return 0;
}

TEST(HttpQuery, PostsTheFormDataAndReturnsTheReplyBody) {
  LoopbackHttpPeer peer;
  peer.SetBody("\xE9\x8C\xB2 12345", "text/plain; charset=utf-8");
  EXPECT_EQ(http::PostFormQuery(peer.Url("/savesize.php?v=1"), u"productid=PID-42"), u"録 12345");
  const std::vector<std::string> requests = peer.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const std::string& request = requests[0];
  EXPECT_EQ(request.rfind("POST /savesize.php?v=1 HTTP/1.", 0), 0u) << request;
  EXPECT_NE(request.find("Content-Type: application/x-www-form-urlencoded\r\n"), std::string::npos)
      << request;
  EXPECT_EQ(request.substr(request.find("\r\n\r\n")), "\r\n\r\nproductid=PID-42") << request;
}

TEST(HttpQuery, ReplyWithoutCharsetIsReadInTheAnsiCodePage) {
  LoopbackHttpPeer peer;
  peer.SetBody("\x98\x5E\x89\xB9", "text/plain");
  EXPECT_EQ(http::PostFormQuery(peer.Url("/"), u"productid="), u"録音");
}

TEST(HttpQuery, EveryFailureIsAnAppError) {
  LoopbackHttpPeer peer;
  peer.SetResponse("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n");
  EXPECT_EQ(FailureNumber(peer.Url("/q")), 500);

  EXPECT_EQ(FailureNumber(u""), ERROR_INTERNET_INVALID_URL);
  EXPECT_EQ(FailureNumber(u"not a url"), ERROR_INTERNET_INVALID_URL);
  EXPECT_EQ(FailureNumber(u"ftp://127.0.0.1/q"), ERROR_INTERNET_UNRECOGNIZED_SCHEME);

  // A port nobody listens on: take a free one and let it go again.
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  closesocket(probe);
  const std::u16string closed =
      u"http://127.0.0.1:" + base::Widen(std::to_string(ntohs(address.sin_port))) + u"/q";
  EXPECT_NE(FailureNumber(closed), 0);
}

TEST(HttpQuery, SilentServerEndsInTheTimeOut) {
  LoopbackHttpPeer peer;
  peer.SetSilent();
  const DWORD started = GetTickCount();
  EXPECT_NE(FailureNumber(peer.Url("/q"), 1000), 0);
  EXPECT_LT(GetTickCount() - started, 15000u);
}

}  // namespace
