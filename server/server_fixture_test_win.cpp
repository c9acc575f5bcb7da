// A Windows program under Wine reaches the native server that the CTest fixture started: the
// fixture's files are found through the Z: paths it hands over, and a WinSock request gets the
// server's answer.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string Exchange(int port, const std::string& request) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    send(s, request.data(), static_cast<int>(request.size()), 0);
    char buffer[4096];
    int n;
    while ((n = recv(s, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, n);
  }
  closesocket(s);
  return answer;
}

TEST(ServerFixtureTest, WindowsProgramsReachTheFixtureServer) {
  const std::string urlFile = Environment("ORVANE_SERVER_URL_FILE");
  const std::string data = Environment("ORVANE_SERVER_DATA");
  ASSERT_FALSE(urlFile.empty()) << "run through ctest: the server fixture sets it";
  std::ifstream in(urlFile, std::ios::binary);
  std::ostringstream url;
  url << in.rdbuf();
  ASSERT_TRUE(url.str().starts_with("http://127.0.0.1:")) << url.str();
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(data) / "forwards.db")) << data;

  WSADATA wsa;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
  const int port = std::stoi(url.str().substr(url.str().rfind(':') + 1));
  const std::string answer =
      Exchange(port,
               "POST /savesize HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\n"
               "Content-Length: 19\r\n\r\nproductid=P-windows");
  WSACleanup();
  EXPECT_TRUE(answer.starts_with("HTTP/1.1 200")) << answer;
  EXPECT_TRUE(answer.ends_with("\r\n\r\n0")) << answer;
}

}  // namespace
