#include "components/http/loopback_peer_win.h"

#include <winsock2.h>

#include <stdexcept>

#include "base/text.h"

namespace {

struct WinsockStartup {
  WinsockStartup() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
} winsockStartup;

// Waits up to 100 ms for the socket to become readable, so the peer notices a stop request.
bool Readable(SOCKET socket) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval wait = {0, 100000};
  return select(0, &set, nullptr, nullptr, &wait) > 0;
}

}  // namespace

LoopbackHttpPeer::LoopbackHttpPeer() {
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (listener == INVALID_SOCKET ||
      bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, 4) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen on the loopback interface");
  }
  listener_ = static_cast<unsigned>(listener);
  port_ = ntohs(address.sin_port);
  SetBody("0");
  thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpPeer::~LoopbackHttpPeer() {
  stopping_ = true;
  thread_.join();
  closesocket(listener_);
}

void LoopbackHttpPeer::SetResponse(std::string response) {
  std::lock_guard lock(mutex_);
  response_ = std::move(response);
  silent_ = false;
}

void LoopbackHttpPeer::SetBody(std::string_view body, std::string_view contentType) {
  SetResponse("HTTP/1.1 200 OK\r\nContent-Type: " + std::string(contentType) +
              "\r\nContent-Length: " + std::to_string(body.size()) +
              "\r\nConnection: close\r\n\r\n" + std::string(body));
}

void LoopbackHttpPeer::SetSilent() {
  std::lock_guard lock(mutex_);
  silent_ = true;
}

void LoopbackHttpPeer::SetDelay(int milliseconds) {
  std::lock_guard lock(mutex_);
  delayMs_ = milliseconds;
}

std::u16string LoopbackHttpPeer::Url(std::string_view path) const {
  return base::Widen("http://127.0.0.1:" + std::to_string(port_) + std::string(path));
}

std::vector<std::string> LoopbackHttpPeer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void LoopbackHttpPeer::Serve() {
  while (!stopping_) {
    if (!Readable(listener_)) continue;
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    Answer(static_cast<unsigned>(client));
    closesocket(client);
  }
}

void LoopbackHttpPeer::Answer(unsigned client) {
  std::string request;
  size_t wanted = std::string::npos;
  char chunk[4096];
  while (!stopping_ && request.size() < wanted) {
    if (!Readable(client)) continue;
    const int got = recv(client, chunk, sizeof chunk, 0);
    if (got <= 0) break;
    request.append(chunk, static_cast<size_t>(got));
    const size_t headEnd = request.find("\r\n\r\n");
    if (wanted == std::string::npos && headEnd != std::string::npos) {
      size_t bodyLength = 0;
      std::string head = request.substr(0, headEnd);
      for (char& c : head) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
      const size_t field = head.find("\r\ncontent-length:");
      if (field != std::string::npos) bodyLength = std::stoul(head.substr(field + 17));
      wanted = headEnd + 4 + bodyLength;
    }
  }
  std::string response;
  bool silent;
  int delayMs;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    response = response_;
    silent = silent_;
    delayMs = delayMs_;
  }
  for (int waited = 0; waited < delayMs && !stopping_; waited += 10) Sleep(10);
  if (silent) {
    while (!stopping_) Sleep(50);
    return;
  }
  send(client, response.data(), static_cast<int>(response.size()), 0);
  shutdown(client, SD_SEND);
}
