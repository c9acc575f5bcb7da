#include "server/testing/raw_http_posix.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <stdexcept>

namespace server::testing {

RawAnswer Exchange(int port, const std::string& bytes, bool closeSending, int timeoutSeconds) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) throw std::runtime_error("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  timeval timeout{timeoutSeconds, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    throw std::runtime_error("connect");
  }
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;  // the server may answer and close before taking everything
    sent += static_cast<std::size_t>(n);
  }
  if (closeSending) shutdown(fd, SHUT_WR);
  std::string received;
  char buffer[65536];
  for (;;) {
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    received.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);

  RawAnswer answer;
  std::size_t end = received.find("\r\n\r\n");
  answer.headers = received.substr(0, end);
  if (end != std::string::npos) answer.body = received.substr(end + 4);
  if (received.starts_with("HTTP/1.")) answer.status = std::stoi(received.substr(9, 3));
  return answer;
}

}  // namespace server::testing
